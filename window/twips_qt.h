// SPDX-License-Identifier: MIT
#pragma once

#include <QLine>
#include <QPoint>
#include <QRect>

#include "window/twips.h"

namespace rms {

// The table units as Qt geometry, each through the one conversion of twips.h.
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
