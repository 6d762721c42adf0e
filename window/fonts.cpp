// SPDX-License-Identifier: MIT
#include "window/fonts.h"

#include <QStringList>

namespace rms {
namespace {

// The captions were sized for a compact sans-serif of Arial's metrics. Liberation Sans
// has exactly those metrics; where none of these is installed, the style hint falls back
// to the platform's sans-serif, which may be wider but stays legible.
QFont captionFace(qreal pointSize) {
  QFont font;
  font.setFamilies(
      {QStringLiteral("Liberation Sans"), QStringLiteral("Arial"), QStringLiteral("Helvetica")});
  font.setStyleHint(QFont::SansSerif);
  font.setPointSizeF(pointSize);
  font.setWeight(QFont::Normal);
  font.setItalic(false);
  font.setUnderline(false);
  font.setStrikeOut(false);
  return font;
}

}  // namespace

QFont windowFont() {
  return captionFace(8.0);
}

QFont legendFont() {
  return captionFace(9.75);
}

}  // namespace rms
