// SPDX-License-Identifier: MIT
#pragma once

#include <QLine>
#include <QPoint>
#include <QRect>

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

// The one place where twips become logical pixels.
constexpr int toPixels(int twips) {
  return twips / kTwipsPerPixel;
}
inline QPoint toPixels(int x, int y) {
  return {toPixels(x), toPixels(y)};
}
inline QRect toPixels(const TwipsRect& r) {
  return {toPixels(r.left), toPixels(r.top), toPixels(r.width), toPixels(r.height)};
}
inline QLine toPixels(const TwipsLine& l) {
  return {toPixels(l.x1, l.y1), toPixels(l.x2, l.y2)};
}

}  // namespace rms
