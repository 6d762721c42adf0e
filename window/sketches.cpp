// SPDX-License-Identifier: MIT
#include "window/sketches.h"

#include <QApplication>
#include <QLineF>
#include <QPaintEvent>
#include <QPainter>
#include <QPen>
#include <QRectF>
#include <cmath>

#include "window/layout.h"
#include "window/sketch_data.h"
#include "window/twips_qt.h"

namespace rms {
namespace {

// On for one pen width, off for two: dots with clear gaps at every scale.
const QList<qreal> kDotPattern{1.0, 2.0};

// A pen one logical pixel wide. It is deliberately not cosmetic, so that at a device-pixel
// ratio of 2 it is two device pixels wide and the drawing scales with the window instead
// of thinning out.
QPen outlinePen(const QColor& foreground) {
  return QPen(foreground, 1.0, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin);
}

// Lines and outlines run through the centres of their pixels, nudged up and left by the
// raster engine's smallest step (1/64 pixel). A one-pixel pen at ratio 1 goes through
// Qt's cosmetic line path, which rounds exact half-pixel ties in a direction that depends
// on the slope, so a rising diagonal would land one pixel off; the nudge breaks the ties
// the same way for every slope, and at larger ratios, where pens are filled by pixel
// centres, it is too small to change any pixel.
constexpr qreal kToCentre = 0.5 - 1.0 / 64;

QPointF pixelCentre(QPoint p) {
  return QPointF(p) + QPointF(kToCentre, kToCentre);
}

void paintLine(QPainter& painter, const SketchLine& line, const QColor& foreground) {
  const QLine px = toPixels(line.twips);
  QPointF from = pixelCentre(px.p1());
  QPointF to = pixelCentre(px.p2());
  QPen pen = outlinePen(foreground);
  switch (line.style) {
    case LineStyle::Solid:
      // The square cap reaches half a pixel past each centre, so both end pixels light.
      break;
    case LineStyle::Dotted: {
      // Dash patterns count from the start of the segment, and a square cap would
      // lengthen every dot. Start and end on pixel edges with flat caps instead, so each
      // dot fills whole pixels.
      const QPointF d = to - from;
      const qreal length = std::hypot(d.x(), d.y());
      if (length > 0) {
        const QPointF half = d * (0.5 / length);
        from -= half;
        to += half;
      }
      pen.setCapStyle(Qt::FlatCap);
      pen.setDashPattern(kDotPattern);
      break;
    }
  }
  painter.setPen(pen);
  painter.setBrush(Qt::NoBrush);
  painter.drawLine(QLineF(from, to));
}

void paintShape(QPainter& painter, const SketchShape& shape, const QColor& foreground,
                const QColor& maskFill) {
  const QRect px = toPixels(shape.twips);
  // A one-pixel pen centred half a pixel inside the rectangle puts the outline on its
  // outermost pixels.
  const QRectF outline(pixelCentre(px.topLeft()), QSizeF(px.width() - 1, px.height() - 1));
  switch (shape.kind) {
    case ShapeKind::Ellipse:
      painter.setPen(outlinePen(foreground));
      painter.setBrush(Qt::NoBrush);
      painter.drawEllipse(outline);
      break;
    case ShapeKind::Rectangle:
      painter.setPen(outlinePen(foreground));
      painter.setBrush(Qt::NoBrush);
      painter.drawRect(outline);
      break;
    case ShapeKind::Mask:
      painter.fillRect(px, maskFill);
      break;
  }
}

}  // namespace

void paintSketches(QPainter& painter, const QColor& foreground, const QColor& maskFill) {
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, false);
  for (const PaintStep step : kPaintOrder) {
    for (const SketchShape& shape : kShapes) {
      if (shape.step == step) {
        paintShape(painter, shape, foreground, maskFill);
      }
    }
    if (step == kLinesStep) {
      for (const SketchLine& line : kLines) {
        paintLine(painter, line, foreground);
      }
    }
  }
  painter.restore();
}

QColor menuBackgroundColour() {
  return QApplication::palette("QMenu").color(QPalette::Window);
}

SketchLayer::SketchLayer(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("sketches"));
  setAttribute(Qt::WA_TransparentForMouseEvents);
  setAutoFillBackground(false);
  setFocusPolicy(Qt::NoFocus);
  resize(toPixels(kClientWidthTwips), toPixels(kClientHeightTwips));
}

void SketchLayer::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(this);
  paintSketches(painter, palette().color(QPalette::WindowText), menuBackgroundColour());
}

}  // namespace rms
