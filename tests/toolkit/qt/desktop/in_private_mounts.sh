#!/bin/sh
# Runs a test in a mount namespace of its own, where it may mount what it
# likes without touching the machine's mounts. Skipped (77) where that is not
# allowed. Usage: in_private_mounts.sh TEST [ARGUMENT...]
if [ "$(id -u)" != 0 ]; then
  echo "skipped: a private mount namespace needs root"
  exit 77
fi
if ! unshare -m --propagation private true 2>/dev/null; then
  echo "skipped: this machine allows no private mount namespace"
  exit 77
fi
TOBREL_PRIVATE_MOUNTS=1 exec unshare -m --propagation private "$@"
