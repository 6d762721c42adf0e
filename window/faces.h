// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <string_view>

namespace rms {

// The window's typeface, named once for the desktop window (window/fonts.cpp) and the
// page's style (web/page_window.cpp). The captions were sized for a compact sans-serif of
// Arial's metrics; Liberation Sans has exactly those, and the page cuts its web font from it.
inline constexpr std::array<std::string_view, 3> kCaptionFamilies{"Liberation Sans", "Arial",
                                                                  "Helvetica"};
// Points, by FontRole: the window's font, and the larger legend labels "t" and "T".
inline constexpr double kWindowPoints = 8.0;
inline constexpr double kLegendPoints = 9.75;

}  // namespace rms
