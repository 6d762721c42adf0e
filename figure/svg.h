// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>

#include "figure/figure.h"

namespace rms {

// The figure as a standalone SVG document: the same bytes on every platform and in every
// locale (coordinates rounded once to hundredths of a pixel, no time, no random id). Each
// panel is a group whose id is its batch column; the waveform is the path of class
// `waveform`, the levels are lines of class `zero`, `rms` and `average`. Never throws;
// a coordinate that is not finite is written as 0.
std::string FigureSvg(const Figure& figure);

}  // namespace rms
