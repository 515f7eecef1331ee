// One include, named by the build (WALL_HEADER), through the include roots
// of the target the probe links: whether it compiles is the whole test.
#include WALL_HEADER
