// SPDX-License-Identifier: MIT
#include "figure/qt/paint.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QPen>

#include "figure/style.h"

namespace rms {
namespace {

QPointF qt(Point p) {
  return {p.x, p.y};
}

QPen penOf(const StrokeStyle& style) {
  QPen pen(QColor::fromRgb(style.rgb), style.width);
  pen.setCapStyle(Qt::FlatCap);  // SVG's default butt cap
  pen.setJoinStyle(style.roundJoin ? Qt::RoundJoin : Qt::MiterJoin);
  if (style.dash[0] > 0) {
    // Qt counts dashes in pen widths, SVG in pixels.
    pen.setDashPattern({style.dash[0] / style.width, style.dash[1] / style.width});
  }
  return pen;
}

void paintText(QPainter& painter, const Text& text) {
  const TextStyle& style = styleOf(text.role);
  QFont font(QStringLiteral("sans-serif"));
  font.setStyleHint(QFont::SansSerif);
  font.setPixelSize(static_cast<int>(style.pixelSize));
  font.setBold(style.bold);
  painter.setFont(font);
  const QString words =
      QString::fromUtf8(text.text.data(), static_cast<qsizetype>(text.text.size()));
  const double width = QFontMetricsF(font).horizontalAdvance(words);
  double x = text.at.x;
  switch (text.anchor) {
    case Anchor::Start:
      break;
    case Anchor::Middle:
      x -= width / 2;
      break;
    case Anchor::End:
      x -= width;
      break;
  }
  if (style.halo > 0) {
    QPainterPath outline;
    outline.addText(QPointF(x, text.at.y), font, words);
    painter.strokePath(outline, QPen(QColor::fromRgb(kFigureGround), style.halo, Qt::SolidLine,
                                     Qt::RoundCap, Qt::RoundJoin));
  }
  painter.drawText(QPointF(x, text.at.y), words);
}

}  // namespace

void PaintFigure(QPainter& painter, const Figure& figure) {
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setRenderHint(QPainter::TextAntialiasing);
  painter.fillRect(QRectF(0, 0, figure.width, figure.height), QColor::fromRgb(kFigureGround));
  painter.setPen(QColor::fromRgb(kFigureInk));
  for (const Text& text : figure.texts) {
    paintText(painter, text);
  }
  for (const Panel& panel : figure.panels) {
    painter.setBrush(Qt::NoBrush);
    painter.setPen(penOf(kFrameStyle));
    painter.drawRect(QRectF(panel.left, panel.top, panel.width, panel.height));
    // In the SVG's order: the axes first, then the other lines over them.
    for (const bool axes : {true, false}) {
      for (const Line& line : panel.lines) {
        if ((line.stroke == Stroke::Axis) == axes) {
          painter.setPen(penOf(styleOf(line.stroke)));
          painter.drawLine(qt(line.from), qt(line.to));
        }
      }
    }
    painter.setPen(penOf(styleOf(Stroke::Waveform)));
    for (const Path& path : panel.paths) {
      QPainterPath drawn(qt(path.start));
      for (const PathStep& step : path.steps) {
        if (step.cubic) {
          drawn.cubicTo(qt(step.c1), qt(step.c2), qt(step.to));
        } else {
          drawn.lineTo(qt(step.to));
        }
      }
      painter.drawPath(drawn);
    }
    painter.setPen(penOf(styleOf(Stroke::Peak)));
    for (const Mark& mark : panel.marks) {
      painter.drawEllipse(qt(mark.at), mark.radius, mark.radius);
    }
    painter.setPen(QColor::fromRgb(kFigureInk));
    for (const Text& text : panel.texts) {
      paintText(painter, text);
    }
  }
  painter.restore();
}

}  // namespace rms
