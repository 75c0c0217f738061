#pragma once

// Paper, screens and tablets give their resolutions per inch; the program
// measures in millimetres.
inline constexpr double kMillimetresPerInch = 25.4;
