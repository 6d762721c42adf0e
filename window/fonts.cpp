// SPDX-License-Identifier: MIT
#include "window/fonts.h"

#include <QStringList>

#include "window/faces.h"

namespace rms {
namespace {

// Where none of the families is installed, the style hint falls back to the platform's
// sans-serif, which may be wider but stays legible.
QFont captionFace(qreal pointSize) {
  QFont font;
  QStringList families;
  for (const std::string_view family : kCaptionFamilies) {
    families.append(QString::fromUtf8(family.data(), static_cast<qsizetype>(family.size())));
  }
  font.setFamilies(families);
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
  return captionFace(kWindowPoints);
}

QFont legendFont() {
  return captionFace(kLegendPoints);
}

}  // namespace rms
