// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "runtime/qt/qt_services.h"
#include "tests/test_application.h"
#include "window/calculator.h"
#include "window/layout.h"
#include "window/main_window.h"
#include "window/sketch_data.h"
#include "window/sketches.h"
#include "window/twips_qt.h"

namespace rms {
namespace {

// Colours chosen to be told apart exactly: nothing is antialiased, so every pixel is one
// of the three.
const QColor kPaper(255, 255, 255);
const QColor kInk(0, 0, 0);
const QColor kMaskFill(200, 160, 40);

// The drawing at one device-pixel ratio, read back in logical pixels.
class Canvas {
 public:
  explicit Canvas(qreal ratio) : ratio_(ratio) {
    image_ = QImage(static_cast<int>(std::ceil(693 * ratio)),
                    static_cast<int>(std::ceil(375 * ratio)), QImage::Format_RGB32);
    image_.setDevicePixelRatio(ratio);
    image_.fill(kPaper);
    QPainter painter(&image_);
    paintSketches(painter, kInk, kMaskFill);
  }

  const QImage& image() const { return image_; }

  // The device pixels of one logical pixel.
  QRect devicePixels(int x, int y) const {
    const int left = static_cast<int>(std::floor(x * ratio_));
    const int top = static_cast<int>(std::floor(y * ratio_));
    const int right = static_cast<int>(std::ceil((x + 1) * ratio_));
    const int bottom = static_cast<int>(std::ceil((y + 1) * ratio_));
    return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
  }

  int count(int x, int y, const QColor& colour) const {
    const QRect r = devicePixels(x, y);
    int n = 0;
    for (int dy = r.top(); dy <= r.bottom(); ++dy) {
      for (int dx = r.left(); dx <= r.right(); ++dx) {
        n += image_.pixelColor(dx, dy) == colour ? 1 : 0;
      }
    }
    return n;
  }
  int size(int x, int y) const {
    const QRect r = devicePixels(x, y);
    return r.width() * r.height();
  }
  bool anyInk(int x, int y) const { return count(x, y, kInk) > 0; }
  bool allInk(int x, int y) const { return count(x, y, kInk) == size(x, y); }
  bool all(int x, int y, const QColor& colour) const { return count(x, y, colour) == size(x, y); }

 private:
  qreal ratio_;
  QImage image_;
};

std::string nameOf(std::string_view name, int index) {
  std::string s(name);
  if (index != kNoIndex) {
    s += "(" + std::to_string(index) + ")";
  }
  return s;
}

// --- Where the drawing should be, worked out from the tables in logical pixels. ---
// A line runs between the centres of its end pixels; an outline runs half a pixel inside
// the pixel rectangle of its shape.

double distanceToSegment(QPointF p, QPointF a, QPointF b) {
  const QPointF ab = b - a;
  const double len2 = QPointF::dotProduct(ab, ab);
  double t = len2 > 0 ? QPointF::dotProduct(p - a, ab) / len2 : 0.0;
  t = std::clamp(t, 0.0, 1.0);
  const QPointF d = p - (a + t * ab);
  return std::hypot(d.x(), d.y());
}

QPointF centre(QPoint p) {
  return QPointF(p) + QPointF(0.5, 0.5);
}

struct Ellipse {
  QPointF centre;
  double a;  // half width, between outline centres
  double b;  // half height
};

Ellipse ellipseOf(const TwipsRect& twips) {
  const QRect r = toPixels(twips);
  return {QPointF(r.left() + r.width() / 2.0, r.top() + r.height() / 2.0), (r.width() - 1) / 2.0,
          (r.height() - 1) / 2.0};
}

double distanceToEllipse(QPointF p, const Ellipse& e) {
  const double nx = (p.x() - e.centre.x()) / e.a;
  const double ny = (p.y() - e.centre.y()) / e.b;
  // Not the exact distance, but never more than it: the outlines of the ellipse scaled by
  // r and by 1 are at least |r - 1| * min(a, b) apart.
  return std::abs(std::hypot(nx, ny) - 1.0) * std::min(e.a, e.b);
}

double distanceToOutline(QPointF p, const SketchShape& shape) {
  switch (shape.kind) {
    case ShapeKind::Ellipse:
      return distanceToEllipse(p, ellipseOf(shape.twips));
    case ShapeKind::Rectangle: {
      const QRectF r = QRectF(toPixels(shape.twips)).adjusted(0.5, 0.5, -0.5, -0.5);
      return std::min({distanceToSegment(p, r.topLeft(), r.topRight()),
                       distanceToSegment(p, r.topRight(), r.bottomRight()),
                       distanceToSegment(p, r.bottomRight(), r.bottomLeft()),
                       distanceToSegment(p, r.bottomLeft(), r.topLeft())});
    }
    case ShapeKind::Mask:
      return std::numeric_limits<double>::infinity();  // fills, draws no ink
  }
  return 0.0;
}

int stepNumber(PaintStep step) {
  return static_cast<int>(std::find(kPaintOrder.begin(), kPaintOrder.end(), step) -
                          kPaintOrder.begin());
}

// Whether a mask painted after the shape covers the pixel.
bool hiddenAt(QPoint pixel, const SketchShape& shape) {
  for (const SketchShape& mask : kShapes) {
    if (mask.kind == ShapeKind::Mask && stepNumber(mask.step) > stepNumber(shape.step) &&
        toPixels(mask.twips).contains(pixel)) {
      return true;
    }
  }
  return false;
}

// How far the pixel is from any ink other than `except`.
double clearance(QPoint pixel, const SketchLine* except) {
  const QPointF p = centre(pixel);
  double best = std::numeric_limits<double>::infinity();
  for (const SketchLine& line : kLines) {
    if (&line != except) {
      const QLine l = toPixels(line.twips);
      best = std::min(best, distanceToSegment(p, centre(l.p1()), centre(l.p2())));
    }
  }
  for (const SketchShape& shape : kShapes) {
    if (!hiddenAt(pixel, shape)) {
      best = std::min(best, distanceToOutline(p, shape));
    }
  }
  return best;
}

constexpr double kClear = 1.5;

bool isAxisAligned(const QLine& l) {
  return l.x1() == l.x2() || l.y1() == l.y2();
}

// The pixels the line should light at a fraction of its length, stepping along its major
// axis: one pixel, or two when the line passes exactly between them.
std::vector<QPoint> pixelsAt(const QLine& l, double fraction) {
  const bool steep = std::abs(l.dy()) > std::abs(l.dx());
  const auto point = [steep](int major, int minor) {
    return steep ? QPoint(minor, major) : QPoint(major, minor);
  };
  const int m1 = steep ? l.y1() : l.x1(), m2 = steep ? l.y2() : l.x2();
  const int n1 = steep ? l.x1() : l.y1(), n2 = steep ? l.x2() : l.y2();
  const int m = m1 + static_cast<int>(std::lround(fraction * (m2 - m1)));
  const double n = m1 == m2 ? n1 : n1 + double(m - m1) * (n2 - n1) / (m2 - m1);
  if (std::abs(n - std::floor(n) - 0.5) < 1e-9) {
    return {point(m, int(std::floor(n))), point(m, int(std::ceil(n)))};
  }
  return {point(m, int(std::lround(n)))};
}

// The step across the line: along its minor axis.
QPoint across(const QLine& l) {
  return std::abs(l.dy()) > std::abs(l.dx()) ? QPoint(1, 0) : QPoint(0, 1);
}

// --- The tables, against the picture they draw -------------------------------------
// Where each line is painted is the painting tests' business; here the tables are held to
// the design: one row per element, each panel's lines within its axes, each level named by
// the window's label beside it.

const SketchLine& lineNamed(std::string_view name, int index) {
  const auto* line = std::find_if(kLines.begin(), kLines.end(), [&](const SketchLine& l) {
    return l.name == name && l.index == index;
  });
  EXPECT_NE(line, kLines.end()) << nameOf(name, index);
  return line != kLines.end() ? *line : kLines.front();
}

TEST(SketchTables, NameEveryElementOnce) {
  std::vector<std::string> names;
  for (const SketchLine& l : kLines) {
    names.push_back(nameOf(l.name, l.index));
  }
  for (const SketchShape& s : kShapes) {
    names.push_back(nameOf(s.name, s.index));
  }
  std::sort(names.begin(), names.end());
  EXPECT_EQ(std::adjacent_find(names.begin(), names.end()), names.end());
}

// The panels above the AC-coupled one, each drawn between its vertical and its time axis,
// which meet at its origin. Every line that lies at their height belongs to one of them and
// stays right of its vertical axis, within its height, and short of the level labels.
TEST(SketchTables, KeepEachPanelsLinesWithinItsAxes) {
  struct Axes {
    std::string_view vertical;
    int verticalIndex;
    std::string_view time;
    int timeIndex;
  };
  const Axes panels[] = {{"Line1", 0, "Line2", 0},
                         {"Line1", 1, "Line2", 1},
                         {"Line1", 3, "Line3", 0},
                         {"Line1", 4, "Line3", 1},
                         {"Line15", kNoIndex, "Line16", kNoIndex}};
  constexpr int kLabelColumn = 2040;  // the left edge of the level labels
  for (const Axes& p : panels) {
    const TwipsLine v = lineNamed(p.vertical, p.verticalIndex).twips;
    const TwipsLine t = lineNamed(p.time, p.timeIndex).twips;
    EXPECT_EQ(std::pair(v.x2, v.y2), std::pair(t.x2, t.y2)) << p.vertical << " meets " << p.time;
  }
  const TwipsLine last = lineNamed(panels[std::size(panels) - 1].vertical, kNoIndex).twips;
  for (const SketchLine& l : kLines) {
    const auto [top, bottom] = std::minmax(l.twips.y1, l.twips.y2);
    if (l.name == "Line33" || bottom > last.y2) {
      continue;  // the separator, and the panels below
    }
    const std::string name = nameOf(l.name, l.index);
    const auto panel = std::find_if(std::begin(panels), std::end(panels), [&](const Axes& p) {
      const TwipsLine v = lineNamed(p.vertical, p.verticalIndex).twips;
      return v.y1 <= top && bottom <= v.y2;
    });
    ASSERT_NE(panel, std::end(panels)) << name << " lies in no panel";
    const int axis = lineNamed(panel->vertical, panel->verticalIndex).twips.x1;
    EXPECT_GE(std::min(l.twips.x1, l.twips.x2), axis) << name;
    EXPECT_LT(std::max(l.twips.x1, l.twips.x2), kLabelColumn) << name;
  }
}

// A dotted level runs to the label that names it: its height within the label's, the
// label just right of its end.
TEST(SketchTables, EndEachLevelBesideTheLabelThatNamesIt) {
  struct Level {
    std::string_view line;
    int index;
    std::string_view label;
    std::string_view text;
  };
  for (const Level& level :
       {Level{"Line52", 0, "Label7", "Ip"}, Level{"Line52", 1, "Label8", "Ip"},
        Level{"Line52", 3, "Label5", "Ip"}, Level{"Line32", kNoIndex, "Label4", "Ib"},
        Level{"Line51", kNoIndex, "Label3", "Ia"}, Level{"Line52", 4, "Label9", "Ip"},
        Level{"Line35", kNoIndex, "Label11", "Ib"}, Level{"Line36", kNoIndex, "Label10", "Ia"}}) {
    const SketchLine& line = lineNamed(level.line, level.index);
    const auto* label = std::find_if(kLayout.begin(), kLayout.end(),
                                     [&](const ControlRow& c) { return c.name == level.label; });
    ASSERT_NE(label, kLayout.end()) << level.label;
    SCOPED_TRACE(nameOf(level.line, level.index) + " and " + std::string(level.label));
    EXPECT_EQ(line.style, LineStyle::Dotted);
    EXPECT_EQ(line.twips.y1, line.twips.y2) << "a level is level";
    EXPECT_EQ(label->text, level.text);
    EXPECT_GE(line.twips.y1, label->rect.top);
    EXPECT_LE(line.twips.y1, label->rect.top + label->rect.height);
    const int end = std::max(line.twips.x1, line.twips.x2);
    EXPECT_GT(label->rect.left, end);
    EXPECT_LE(label->rect.left - end, 360) << "the label stands apart from its level";
  }
}

// --- The painting, at device-pixel ratios 1, 1.5 and 2 --------------------------------

class SketchPainting : public testing::TestWithParam<qreal> {
 protected:
  void SetUp() override { application(); }
  qreal ratio() const { return GetParam(); }
  // At whole ratios every device pixel of a one-pixel line is lit; at 1.5 the pixel grid
  // and the logical grid do not meet, so only some are.
  bool whole() const { return ratio() == std::floor(ratio()); }
};

TEST_P(SketchPainting, UsesOnlyInkMaskAndPaperNeverABlend) {
  const Canvas canvas(ratio());
  const QImage& img = canvas.image();
  int ink = 0, mask = 0;
  for (int y = 0; y < img.height(); ++y) {
    for (int x = 0; x < img.width(); ++x) {
      const QColor c = img.pixelColor(x, y);
      ASSERT_TRUE(c == kInk || c == kMaskFill || c == kPaper) << x << "," << y;
      ink += c == kInk;
      mask += c == kMaskFill;
    }
  }
  EXPECT_GT(ink, 0);
  EXPECT_GT(mask, 0);
}

TEST_P(SketchPainting, EverySolidLineIsInkedAndNothingBesideIt) {
  const Canvas canvas(ratio());
  const double fractions[] = {0.5, 0.4, 0.6, 0.3, 0.7, 0.2, 0.8, 0.1, 0.9};
  for (const SketchLine& line : kLines) {
    if (line.style != LineStyle::Solid) {
      continue;
    }
    SCOPED_TRACE(nameOf(line.name, line.index));
    const QLine l = toPixels(line.twips);
    const QPoint step = across(l);
    bool sampled = false;
    for (const double f : fractions) {
      const std::vector<QPoint> on = pixelsAt(l, f);
      // A sample is only telling where no other element comes near it.
      const bool onClear = std::all_of(on.begin(), on.end(),
                                       [&](QPoint p) { return clearance(p, &line) >= kClear; });
      if (!onClear) {
        continue;
      }
      // Three pixels to either side, on the far side of both candidates.
      std::vector<QPoint> besides;
      for (const int d : {3, -3}) {
        const QPoint p = (d > 0 ? on.back() : on.front()) + d * step;
        if (clearance(p, &line) >= kClear &&
            distanceToSegment(centre(p), centre(l.p1()), centre(l.p2())) >= kClear) {
          besides.push_back(p);
        }
      }
      if (besides.empty()) {
        continue;
      }
      sampled = true;
      const bool inked = std::any_of(on.begin(), on.end(), [&](QPoint p) {
        return whole() && isAxisAligned(l) ? canvas.allInk(p.x(), p.y())
                                           : canvas.anyInk(p.x(), p.y());
      });
      EXPECT_TRUE(inked) << "at " << on.front().x() << "," << on.front().y();
      for (const QPoint b : besides) {
        EXPECT_FALSE(canvas.anyInk(b.x(), b.y())) << "beside at " << b.x() << "," << b.y();
      }
      // Crisp: exactly one logical pixel wide, with its neighbours untouched.
      if (whole() && isAxisAligned(l)) {
        for (const int d : {1, -1}) {
          const QPoint n = on.front() + d * step;
          if (clearance(n, &line) >= kClear) {
            EXPECT_FALSE(canvas.anyInk(n.x(), n.y())) << "next to " << n.x() << "," << n.y();
          }
        }
      }
      break;
    }
    EXPECT_TRUE(sampled) << "no sample point clear of other elements";
  }
}

TEST_P(SketchPainting, DottedLinesShowDotsAndGaps) {
  const Canvas canvas(ratio());
  for (const SketchLine& line : kLines) {
    if (line.style != LineStyle::Dotted) {
      continue;
    }
    SCOPED_TRACE(nameOf(line.name, line.index));
    const QLine l = toPixels(line.twips);
    const int length = std::max(std::abs(l.dx()), std::abs(l.dy()));
    int lit = 0, unlit = 0;
    for (int i = 0; i <= length; ++i) {
      for (const QPoint p : pixelsAt(l, double(i) / length)) {
        if (clearance(p, &line) < kClear) {
          continue;  // a crossing
        }
        (canvas.anyInk(p.x(), p.y()) ? lit : unlit) += 1;
      }
    }
    ASSERT_GE(lit + unlit, 5);
    // Neither solid nor missing: a steady share of dots and of gaps.
    EXPECT_GE(lit * 5, lit + unlit) << lit << " lit, " << unlit << " unlit";
    EXPECT_GE(unlit * 5, lit + unlit) << lit << " lit, " << unlit << " unlit";
  }
}

TEST_P(SketchPainting, MasksHideTheLowerHalvesOfTheHumps) {
  const Canvas canvas(ratio());
  // Between each panel's time axis and the first element of the next panel, right of the
  // next panel's vertical axis, nothing but the mask may show. The bands stop one pixel
  // short of the masks' right and bottom edges, which at ratio 1.5 fall inside a device
  // pixel.
  const struct {
    const char* what;
    int left, top, right, bottom;  // twips, inclusive of the pixels they fall in
  } bands[] = {
      {"below the panel-0 axis", 135, 615, 1425, 930},
      {"below the panel-1 axis", 135, 1335, 1545, 1530},
  };
  for (const auto& band : bands) {
    SCOPED_TRACE(band.what);
    int wrong = 0;
    for (int y = toPixels(band.top); y <= toPixels(band.bottom); ++y) {
      for (int x = toPixels(band.left); x <= toPixels(band.right); ++x) {
        wrong += canvas.all(x, y, kMaskFill) ? 0 : 1;
      }
    }
    EXPECT_EQ(wrong, 0);
  }
}

// A point of the outline of `shape` at logical row y, on the left or the right.
QPoint outlinePoint(const SketchShape& shape, int y, bool left) {
  const Ellipse e = ellipseOf(shape.twips);
  const double ny = (y + 0.5 - e.centre.y()) / e.b;
  const double dx = e.a * std::sqrt(std::max(0.0, 1.0 - ny * ny));
  const double x = e.centre.x() + (left ? -dx : dx);
  return QPoint(static_cast<int>(std::floor(x)), y);
}

bool inkNear(const Canvas& canvas, QPoint p) {
  for (int dx = -1; dx <= 1; ++dx) {
    if (canvas.anyInk(p.x() + dx, p.y())) {
      return true;
    }
  }
  return false;
}

TEST_P(SketchPainting, HumpsShowAboveTheirAxesEvenOverTheOtherMask) {
  const Canvas canvas(ratio());
  for (const SketchShape& shape : kShapes) {
    if (shape.kind != ShapeKind::Ellipse) {
      continue;
    }
    SCOPED_TRACE(nameOf(shape.name, shape.index));
    const QRect r = toPixels(shape.twips);
    // The upper half, from just below the top down to just above the axis. For the humps
    // of panel 1 these rows lie inside the panel-0 mask.
    for (int y = r.top() + 3; y < r.top() + r.height() / 2 - 1; y += 3) {
      EXPECT_TRUE(inkNear(canvas, outlinePoint(shape, y, true))) << "left, row " << y;
      EXPECT_TRUE(inkNear(canvas, outlinePoint(shape, y, false))) << "right, row " << y;
    }
  }
}

TEST_P(SketchPainting, RectangularPanelShowsWholeOverThePanelOneMask) {
  const Canvas canvas(ratio());
  const QRect mask = toPixels(TwipsRect{120, 1320, 1455, 495});
  for (const SketchShape& shape : kShapes) {
    if (shape.kind != ShapeKind::Rectangle) {
      continue;
    }
    SCOPED_TRACE(nameOf(shape.name, shape.index));
    const QRect r = toPixels(shape.twips);
    ASSERT_TRUE(mask.contains(r.topLeft()));
    for (int x = r.left(); x <= r.right(); ++x) {
      EXPECT_TRUE(canvas.anyInk(x, r.top())) << "top edge at " << x;
    }
    for (int y = r.top(); y <= mask.bottom(); ++y) {
      EXPECT_TRUE(canvas.anyInk(r.left(), y)) << "left edge at " << y;
      EXPECT_TRUE(canvas.anyInk(r.right(), y)) << "right edge at " << y;
    }
  }
  // The dotted Ip line right of the last pulse, still inside the mask.
  const int y = toPixels(1560);
  int lit = 0, unlit = 0;
  for (int x = toPixels(1200 + 255) + 1; x <= mask.right(); ++x) {
    (canvas.anyInk(x, y) ? lit : unlit) += 1;
  }
  EXPECT_GT(lit, 0);
  EXPECT_GT(unlit, 0);
}

TEST_P(SketchPainting, ShapesCoverLeftToLeftPlusWidth) {
  if (!whole()) {
    GTEST_SKIP() << "at ratio 1.5 pixel edges fall inside device pixels";
  }
  const Canvas canvas(ratio());
  struct Probe {
    const char* what;
    int x, y;  // logical pixels
    QColor colour;
    bool expectColour;
  };
  // Shape4(0): pixel rectangle 32, 104, 17 x 33, so its outline is on columns 32 and 48
  // and rows 104 and 136 (the time axis).
  // Shape2(0): pixel rectangle 8, 40, 89 x 33, so it fills columns 8 to 96.
  const Probe probes[] = {
      {"rectangle, left edge", 32, 120, kInk, true},
      {"rectangle, right edge", 48, 120, kInk, true},
      {"rectangle, inside its right edge", 47, 120, kInk, false},
      {"rectangle, right of its right edge", 49, 120, kInk, false},
      {"rectangle, left of its left edge", 31, 120, kInk, false},
      {"rectangle, below the axis", 40, 137, kInk, false},
      {"mask, last column", 96, 50, kMaskFill, true},
      {"mask, first column past it", 97, 50, kPaper, true},
      {"mask, last row", 30, 72, kMaskFill, true},
      {"mask, first row past it", 30, 73, kPaper, true},
      {"humps 1 and 2 touch", 24, 39, kInk, true},
      {"vertical axis at x = 8", 8, 10, kInk, true},
      {"left of the axis", 7, 10, kInk, false},
      {"right of the axis", 9, 10, kInk, false},
      {"end pixel of the panel-0 time axis", 104, 40, kInk, true},
      {"past the end of the panel-0 time axis", 105, 40, kInk, false},
  };
  for (const Probe& probe : probes) {
    SCOPED_TRACE(probe.what);
    if (probe.expectColour) {
      EXPECT_TRUE(canvas.all(probe.x, probe.y, probe.colour));
    } else {
      EXPECT_EQ(canvas.count(probe.x, probe.y, probe.colour), 0);
    }
  }
  // Panel 1: a gap of 15 pixels on the axis row above the axis between neighbouring humps.
  for (int x = 25; x <= 39; ++x) {
    EXPECT_EQ(canvas.count(x, 87, kInk), 0) << "gap at " << x;
  }
}

INSTANTIATE_TEST_SUITE_P(Ratios, SketchPainting, testing::Values(1.0, 1.5, 2.0),
                         [](const testing::TestParamInfo<qreal>& info) {
                           return "x" + std::to_string(static_cast<int>(info.param * 10));
                         });

// --- In the real window ----------------------------------------------------------------

// The window as the program wires it, with message boxes counted instead of shown.
class SketchesInTheWindow : public testing::Test {
 protected:
  SketchesInTheWindow() {
    services.setPresenter([this](QMessageBox&) { ++messages; });
  }

  QImage grab() { return window.grab().toImage().convertToFormat(QImage::Format_RGB32); }
  qreal ratio() const { return window.devicePixelRatioF(); }
  QRect device(const QRect& logical) const {
    return QRect(logical.topLeft() * ratio(), logical.size() * ratio());
  }
  // Everything left of the formulas, where the sketches and their level labels stand,
  // and the separator's column.
  QImage sketchArea() {
    const QImage image = grab();
    QImage area = image.copy(device(QRect(0, 0, toPixels(2400), 375)));
    const QImage separator = image.copy(device(QRect(toPixels(6600), 0, 1, 375)));
    return area.height() == separator.height() ? area : QImage();
  }
  QLineEdit* box(const char* name) {
    return window.findChild<QLineEdit*>(QString::fromLatin1(name));
  }

  QApplication& app = application();  // before any widget
  MainWindow window;
  QtServices services{window};
  Calculator calculator{services};
  int messages = 0;
};

TEST_F(SketchesInTheWindow, AreDrawnOverTheLabelsTheyCross) {
  struct Crossing {
    const char* label;
    QRect ink;    // logical pixels the drawing must cover
    QPoint fill;  // a pixel of the label that no drawing and no letter covers
  };
  const Crossing crossings[] = {
      // The separator over the end of the panel-6 formula.
      {"Label14(5)", QRect(QPoint(toPixels(6600), toPixels(3720)), QSize(1, toPixels(255))),
       QPoint(toPixels(6600) + 3, toPixels(3720) + 8)},
      // The fall of pulse 1 of panel 6 over the legend's "t".
      {"Label2", QRect(QPoint(toPixels(360), toPixels(4320)), QSize(1, toPixels(240) + 1)),
       QPoint(toPixels(150), toPixels(4665))},
      // The shaft of the T arrow over the legend's "T".
      {"Label1", QRect(QPoint(toPixels(120), toPixels(5040)), QSize(toPixels(360) + 1, 1)),
       QPoint(toPixels(450), toPixels(5370))},
  };
  // Each label gets a background of its own, which would hide any drawing beneath it.
  const QColor labelFill(20, 200, 60);
  for (const Crossing& c : crossings) {
    auto* label = window.findChild<QLabel*>(QString::fromLatin1(c.label));
    ASSERT_NE(label, nullptr) << c.label;
    ASSERT_TRUE(label->geometry().contains(c.ink)) << c.label;
    ASSERT_TRUE(label->geometry().contains(c.fill)) << c.label;
    QPalette palette = label->palette();
    palette.setColor(QPalette::Window, labelFill);
    label->setPalette(palette);
    label->setAutoFillBackground(true);
  }
  window.show();
  const QImage image = grab();
  const QColor ink = window.palette().color(QPalette::WindowText);
  for (const Crossing& c : crossings) {
    SCOPED_TRACE(c.label);
    const QRect d = device(c.ink);
    for (int y = d.top(); y <= d.bottom(); ++y) {
      for (int x = d.left(); x <= d.right(); ++x) {
        EXPECT_EQ(image.pixelColor(x, y), ink) << x << "," << y;
      }
    }
    // The label itself was painted, beneath.
    EXPECT_EQ(image.pixelColor(device(QRect(c.fill, QSize(1, 1))).topLeft()), labelFill);
  }
}

TEST_F(SketchesInTheWindow, LookTheSameBeforeAndAfterEveryPress) {
  struct Inputs {
    const char* what;
    const char* t;
    const char* period;
    int messages;  // message boxes the press brings up
  };
  const Inputs cases[] = {
      {"the initial inputs", "0.5", "1", 0}, {"a t box that holds no number", "abc", "1", 1},
      {"an empty period box", "0.5", "", 1}, {"a duty cycle above 100 %", "3", "2", 1},
      {"a period of zero", "0.5", "0", 0},
  };
  window.show();
  const QImage atStart = sketchArea();
  ASSERT_FALSE(atStart.isNull());
  // The layer is there: the panel-0 axis at x = 8.
  EXPECT_EQ(atStart.pixelColor(device(QRect(8, 20, 1, 1)).topLeft()),
            window.palette().color(QPalette::WindowText));
  for (const Inputs& in : cases) {
    SCOPED_TRACE(in.what);
    messages = 0;
    box("t")->setText(QString::fromLatin1(in.t));
    box("P")->setText(QString::fromLatin1(in.period));
    calculator.Command1_Click();
    QApplication::processEvents();
    EXPECT_GE(messages, in.messages);
    EXPECT_TRUE(sketchArea() == atStart);
  }
}

}  // namespace
}  // namespace rms
