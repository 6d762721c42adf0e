// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "figure/figure.h"

namespace rms {

// How the figure looks, for every painter of it: the SVG writes kFigureStyleRules, a
// QPainter reads the rows. Line styles tell the lines apart without colour: solid, dashed,
// dotted. Every stroke is at least 7:1 against the white ground.
struct StrokeStyle {
  uint32_t rgb;  // 0xRRGGBB
  double width;
  std::array<double, 2> dash;  // on, off in pixels; {0, 0} is solid
  bool roundJoin = false;
};
struct TextStyle {
  double pixelSize;
  bool bold;
  // The width of an outline in the ground's colour under the letters, which keeps a label
  // legible where a line runs through it; 0 for none.
  double halo = 0;
};

inline constexpr uint32_t kFigureGround = 0xffffff;
inline constexpr uint32_t kFigureInk = 0x000000;
inline constexpr StrokeStyle kFrameStyle{0x555555, 1, {0, 0}};

// In the order of Stroke.
inline constexpr std::array<StrokeStyle, 6> kStrokeStyles{{
    {0x000000, 2, {0, 0}, true},  // Waveform
    {0x444444, 1, {0, 0}},        // Zero
    {0xa4001d, 1.5, {8, 4}},      // Rms
    {0x0a4a94, 1.5, {2, 3}},      // Average
    {0x000000, 1, {0, 0}},        // Axis
    {0x000000, 1.5, {0, 0}},      // Peak
}};

// In the order of TextRole.
inline constexpr std::array<TextStyle, 5> kTextStyles{{
    {13, true},      // Heading
    {11, true},      // Title
    {10, false, 3},  // Value
    {10, false},     // Tick
    {11, false},     // Note
}};

constexpr const StrokeStyle& styleOf(Stroke stroke) {
  return kStrokeStyles[static_cast<size_t>(stroke)];
}
constexpr const TextStyle& styleOf(TextRole role) {
  return kTextStyles[static_cast<size_t>(role)];
}

// The same facts as CSS, as the SVG carries them; figure_tests checks each row against it.
inline constexpr std::string_view kFigureStyleRules =
    "text{font-family:sans-serif;font-size:11px;fill:#000}"
    ".heading{font-size:13px;font-weight:bold}.title{font-weight:bold}.tick,.value{font-size:10px}"
    ".value{paint-order:stroke;stroke:#fff;stroke-width:3;stroke-linejoin:round}"
    ".frame{fill:none;stroke:#555}"
    ".waveform{fill:none;stroke:#000;stroke-width:2;stroke-linejoin:round}"
    ".axis{fill:none;stroke:#000;stroke-width:1}"
    ".zero{stroke:#444;stroke-width:1}"
    ".rms{stroke:#a4001d;stroke-width:1.5;stroke-dasharray:8 4}"
    ".average{stroke:#0a4a94;stroke-width:1.5;stroke-dasharray:2 3}"
    ".peak{fill:none;stroke:#000;stroke-width:1.5}";

}  // namespace rms
