// SPDX-License-Identifier: MIT
#pragma once

#include <QColor>
#include <QWidget>

class QPainter;
class QPaintEvent;

namespace rms {

// Paints the waveform sketches and the separator in logical pixels, bottom to top in the
// order of kPaintOrder. Lines and outlines are one logical pixel wide in `foreground`, the
// masks are filled with `maskFill`. Nothing is antialiased, so at device-pixel ratio 1 a
// line at x = 8 lights exactly pixel column 8 and at ratio 2 exactly device columns 16 and
// 17.
//
// Pixel convention: a shape whose pixel rectangle is Left, Top, Width, Height covers the
// pixels Left .. Left + Width - 1 and Top .. Top + Height - 1, the same pixels that a
// control of that rectangle covers; its outline lies on the outermost of them. A line
// lights the pixels of both its end points.
void paintSketches(QPainter& painter, const QColor& foreground, const QColor& maskFill);

// The platform's colour for menu backgrounds, with which the masks are filled.
QColor menuBackgroundColour();

// A transparent layer over the window's client area that shows the sketches. It has no
// background of its own, takes no focus and lets every mouse event through to the
// controls beneath it. Its drawing never depends on the inputs.
class SketchLayer : public QWidget {
  Q_OBJECT

 public:
  explicit SketchLayer(QWidget* parent = nullptr);

 protected:
  void paintEvent(QPaintEvent* event) override;
};

}  // namespace rms
