#pragma once

// Key codes the main window's handlers take beyond the grid's own (those are
// in grid/Mei.h), as the key events deliver them, and the bits of the shift
// state that comes with them.
inline constexpr int kKeyC = 67;
inline constexpr int kKeyV = 86;
inline constexpr int kKeyY = 89;
inline constexpr int kKeyZ = 90;
inline constexpr int kKeyF2 = 113;
inline constexpr int kKeyF7 = 118;
inline constexpr int kKeyF8 = 119;
inline constexpr int kKeyF9 = 120;
inline constexpr int kKeyF11 = 122;
inline constexpr int kKeyF12 = 123;
inline constexpr int kShiftBit = 1;
inline constexpr int kCtrlBit = 2;
