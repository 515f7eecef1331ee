// The pointer over the web link: a hand with the index finger up, 32 by 32,
// pointing with the tip of the finger. 'k' is black, 'w' white.
#pragma once

#include "toolkit/pictures.h"

#include <array>

namespace app {

// clang-format off
inline constexpr std::array<std::string_view, 32> HandRows = {
    "................................",
    "................................",
    "................................",
    ".............kk.................",
    "............kwwk................",
    "...........kwwwwk...............",
    "...........kwwwwk...............",
    "...........kwwwwk...............",
    "...........kwwwwk...............",
    "...........kwwwwk...............",
    "...........kwwwwkkkk............",
    "...........kwwwwwwwwkkkk........",
    "...........kwwwwkwwwwwwwkkk.....",
    "...........kwwwwkwwwkwwwwwwk....",
    "...........kwwwwkwwwkwwwkwwk....",
    ".......kkkkkwwwwkwwwkwwwkwwk....",
    "......kwwwwwwwwwwwwwkwwwkwwk....",
    ".....kwwwwwwwwwwwwwwwwwwkwwk....",
    ".....kwwwwwwwwwwwwwwwwwwwwwk....",
    ".....kwwwwwwwwwwwwwwwwwwwwwk....",
    ".....kwwwwwwwwwwwwwwwwwwwwwk....",
    ".....kwwwwwwwwwwwwwwwwwwwwwk....",
    ".....kwwwwwwwwwwwwwwwwwwwwwk....",
    "......kwwwwwwwwwwwwwwwwwwwwk....",
    "......kwwwwwwwwwwwwwwwwwwwwk....",
    ".......kkwwwwwwwwwwwwwwwwwwk....",
    "........kwwwwwwwwwwwwwwwwwwk....",
    ".........kkwwwwwwwwwwwwwwkk.....",
    "..........kwwwwwwwwwwwwwwk......",
    "..........kwwwwwwwwwwwwwwk......",
    "...........kkkkkkkkkkkkkk.......",
    "................................",
};
// clang-format on

inline constexpr toolkit::Pointer HandPointer = {HandRows, 13, 4};

}  // namespace app
