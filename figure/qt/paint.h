// SPDX-License-Identifier: MIT
#pragma once

#include "figure/figure.h"

class QPainter;

namespace rms {

// Paints `figure` in its own pixels from (0, 0), with the looks of figure/style.h that its
// SVG has: the white ground, each panel's frame, levels, axes, waveform, peak marks and
// texts (a text's point is its baseline, as in SVG). Antialiased; leaves the painter as it
// found it.
void PaintFigure(QPainter& painter, const Figure& figure);

}  // namespace rms
