// SPDX-License-Identifier: MIT
#pragma once

namespace rms {

// The window is designed in twips (1/1440 inch). Every position and size in the layout
// and sketch tables is a multiple of 15 twips, one logical pixel at 96 DPI; Qt's
// device-pixel ratio scales the logical pixels to the screen.
inline constexpr int kTwipsPerPixel = 15;

struct TwipsRect {
  int left;
  int top;
  int width;
  int height;
};

struct TwipsLine {
  int x1;
  int y1;
  int x2;
  int y2;
};

// The one place where twips become logical pixels. Qt's points, rectangles and lines
// are made from it in twips_qt.h, and the browser edition's CSS pixels at build time in
// web/page_window.cpp.
constexpr int toPixels(int twips) {
  return twips / kTwipsPerPixel;
}

}  // namespace rms
