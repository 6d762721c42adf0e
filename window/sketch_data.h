// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

#include "window/layout.h"  // kNoIndex: elements are named like the controls
#include "window/twips.h"

// The waveform sketches of the main window, as data: every line and shape with its layout
// name, its array index, its place in twips as designed, and its style or kind. Nothing
// computes these values and nothing changes them at run time; the painter in sketches.cpp
// only walks the tables.

namespace rms {

enum class LineStyle { Solid, Dotted };

enum class ShapeKind {
  Ellipse,    // outline of the ellipse inscribed in the rectangle, not filled
  Rectangle,  // outline of the rectangle, not filled
  Mask,       // the rectangle filled with the menu-background colour, no outline
};

// The kind's name in test messages.
constexpr std::string_view nameOf(ShapeKind kind) {
  switch (kind) {
    case ShapeKind::Ellipse:
      return "ellipse";
    case ShapeKind::Rectangle:
      return "rectangle";
    case ShapeKind::Mask:
      return "mask";
  }
  return "";
}

// What is painted over what, bottom to top. The window's background and its labels lie
// beneath the first step; the masks hide the lower halves of the humps painted before
// them, and everything painted after a mask shows over it.
enum class PaintStep {
  PanelZeroHumps,
  PanelZeroMask,
  PanelOneHumps,
  PanelOneMask,
  Outlines,  // every line and the rectangles of the Rectangular panel
};

inline constexpr std::array kPaintOrder{PaintStep::PanelZeroHumps, PaintStep::PanelZeroMask,
                                        PaintStep::PanelOneHumps, PaintStep::PanelOneMask,
                                        PaintStep::Outlines};

// Lines are never hidden: all of them are painted in the top step.
inline constexpr PaintStep kLinesStep = PaintStep::Outlines;

struct SketchLine {
  std::string_view name;
  int index;
  TwipsLine twips;  // from (x1, y1) to (x2, y2), in this direction
  LineStyle style;
};

struct SketchShape {
  std::string_view name;
  int index;
  ShapeKind kind;
  TwipsRect twips;
  PaintStep step;
};

namespace sketch_rows {
inline constexpr LineStyle kSolid = LineStyle::Solid;
inline constexpr LineStyle kDotted = LineStyle::Dotted;
inline constexpr int kNone = kNoIndex;
}  // namespace sketch_rows

// Every line of the window: the separator between the left area and the right-hand column,
// then the 70 lines of the sketches, panel by panel.
inline constexpr std::array<SketchLine, 71> kLines = [] {
  using namespace sketch_rows;
  return std::array<SketchLine, 71>{{
      {"Line33", kNone, {6600, 120, 6600, 5520}, kSolid},  // separator

      // Panel 0, full wave sinusoidal.
      {"Line1", 0, {120, 0, 120, 600}, kSolid},       // vertical axis
      {"Line2", 0, {1560, 600, 120, 600}, kSolid},    // time axis
      {"Line52", 0, {1800, 240, 240, 240}, kDotted},  // Ip level

      // Panel 1, pulsed sinusoidal.
      {"Line1", 1, {120, 720, 120, 1320}, kSolid},
      {"Line2", 1, {1560, 1320, 120, 1320}, kSolid},
      {"Line52", 1, {1800, 960, 240, 960}, kDotted},

      // Panel 3, rectangular.
      {"Line1", 3, {120, 1440, 120, 2040}, kSolid},
      {"Line3", 0, {1560, 2040, 120, 2040}, kSolid},
      {"Line52", 3, {1800, 1560, 240, 1560}, kDotted},

      // Panel 4, trapezoid: four pulses rising to Ia, ramping to Ib and falling back.
      {"Line1", 4, {120, 2160, 120, 2760}, kSolid},  // axis and rising edge of pulse 1
      {"Line3", 1, {1560, 2760, 120, 2760}, kSolid},
      {"Line4", kNone, {120, 2400, 360, 2280}, kSolid},
      {"Line8", kNone, {360, 2280, 360, 2760}, kSolid},
      {"Line12", kNone, {480, 2400, 480, 2760}, kSolid},
      {"Line5", kNone, {480, 2400, 720, 2280}, kSolid},
      {"Line9", kNone, {720, 2280, 720, 2760}, kSolid},
      {"Line13", kNone, {840, 2400, 840, 2760}, kSolid},
      {"Line6", kNone, {840, 2400, 1080, 2280}, kSolid},
      {"Line10", kNone, {1080, 2280, 1080, 2760}, kSolid},
      {"Line14", kNone, {1200, 2400, 1200, 2760}, kSolid},
      {"Line7", kNone, {1200, 2400, 1440, 2280}, kSolid},
      {"Line11", kNone, {1440, 2280, 1440, 2760}, kSolid},
      {"Line32", kNone, {360, 2280, 1920, 2280}, kDotted},   // Ib level
      {"Line31", kNone, {120, 2400, 1800, 2400}, kDotted},   // Ia level
      {"Line50", kNone, {1800, 2400, 1800, 2520}, kDotted},  // Ia leader, down
      {"Line51", kNone, {1920, 2520, 1800, 2520}, kDotted},  // Ia leader, across

      // Panel 5, triangle: four sawtooth ramps.
      {"Line15", kNone, {120, 2880, 120, 3480}, kSolid},
      {"Line16", kNone, {1560, 3480, 120, 3480}, kSolid},
      {"Line17", kNone, {360, 3000, 120, 3480}, kSolid},
      {"Line18", kNone, {360, 3000, 360, 3480}, kSolid},
      {"Line19", kNone, {720, 3000, 480, 3480}, kSolid},
      {"Line20", kNone, {720, 3000, 720, 3480}, kSolid},
      {"Line21", kNone, {1080, 3000, 840, 3480}, kSolid},
      {"Line23", kNone, {1080, 3000, 1080, 3480}, kSolid},
      {"Line22", kNone, {1440, 3000, 1200, 3480}, kSolid},
      {"Line24", kNone, {1440, 3000, 1440, 3480}, kSolid},
      {"Line52", 4, {1920, 3000, 360, 3000}, kDotted},

      // Panel 6, general (AC-coupled): pulses straddling the zero line, and two arrows.
      {"Line25", kNone, {120, 3600, 120, 4200}, kSolid},   // axis, above zero only
      {"Line26", kNone, {1920, 4200, 120, 4200}, kSolid},  // zero line
      {"Line27", 0, {120, 4080, 360, 3720}, kSolid},
      {"Line28", 0, {360, 4560, 360, 3720}, kSolid},
      {"Line29", 0, {480, 4560, 360, 4560}, kSolid},
      {"Line30", 0, {480, 4080, 480, 4560}, kSolid},
      {"Line27", 1, {480, 4080, 720, 3720}, kSolid},
      {"Line28", 1, {720, 4560, 720, 3720}, kSolid},
      {"Line29", 1, {840, 4560, 720, 4560}, kSolid},
      {"Line30", 1, {840, 4080, 840, 4560}, kSolid},
      {"Line27", 3, {840, 4080, 1080, 3720}, kSolid},
      {"Line28", 3, {1080, 4560, 1080, 3720}, kSolid},
      {"Line29", 3, {1200, 4560, 1080, 4560}, kSolid},
      {"Line30", 3, {1200, 4080, 1200, 4560}, kSolid},
      {"Line27", 2, {1200, 4080, 1440, 3720}, kSolid},
      {"Line28", 2, {1440, 4560, 1440, 3720}, kSolid},
      {"Line35", kNone, {360, 3720, 1920, 3720}, kDotted},  // Ib level
      {"Line36", kNone, {120, 4080, 1680, 4080}, kDotted},  // Ia level
      {"Line37", kNone, {1560, 4080, 1560, 4560}, kSolid},  // arrow to Ia, shaft
      {"Line38", kNone, {1680, 4200, 1560, 4080}, kSolid},
      {"Line39", kNone, {1440, 4200, 1560, 4080}, kSolid},
      {"Line40", kNone, {1800, 4560, 1800, 3720}, kSolid},  // arrow to Ib, shaft
      {"Line41", kNone, {1800, 3720, 1680, 3840}, kSolid},
      {"Line42", kNone, {1800, 3720, 1920, 3840}, kSolid},

      // The legend: marks at the start, the end of the on-time and the end of the period,
      // and the t and T arrows between them.
      {"Line44", kNone, {120, 4320, 120, 5400}, kDotted},
      {"Line34", kNone, {360, 4560, 360, 4920}, kDotted},
      {"Line53", kNone, {480, 4560, 480, 5400}, kDotted},
      {"Line45", kNone, {360, 4800, 120, 4800}, kSolid},  // t arrow
      {"Line43", kNone, {360, 4800, 240, 4680}, kSolid},
      {"Line47", kNone, {240, 4920, 360, 4800}, kSolid},
      {"Line46", kNone, {480, 5040, 120, 5040}, kSolid},  // T arrow
      {"Line49", kNone, {360, 4920, 480, 5040}, kSolid},
      {"Line48", kNone, {360, 5160, 480, 5040}, kSolid},
  }};
}();

// Every shape of the window, each with the step in which it is painted.
inline constexpr std::array<SketchShape, 14> kShapes = [] {
  using enum ShapeKind;
  using enum PaintStep;
  return std::array<SketchShape, 14>{{
      // Panel 0: five touching humps; the mask leaves only their upper halves.
      {"Shape1", 0, Ellipse, {120, 240, 255, 735}, PanelZeroHumps},
      {"Shape1", 1, Ellipse, {360, 240, 255, 735}, PanelZeroHumps},
      {"Shape1", 5, Ellipse, {600, 240, 255, 735}, PanelZeroHumps},
      {"Shape1", 4, Ellipse, {840, 240, 255, 735}, PanelZeroHumps},
      {"Shape1", 3, Ellipse, {1080, 240, 255, 735}, PanelZeroHumps},
      {"Shape2", 0, Mask, {120, 600, 1335, 495}, PanelZeroMask},

      // Panel 1: three humps with gaps, their tops painted over the panel-0 mask.
      {"Shape1", 2, Ellipse, {120, 960, 255, 735}, PanelOneHumps},
      {"Shape1", 9, Ellipse, {600, 960, 255, 735}, PanelOneHumps},
      {"Shape1", 7, Ellipse, {1080, 960, 255, 735}, PanelOneHumps},
      {"Shape2", 2, Mask, {120, 1320, 1455, 495}, PanelOneMask},

      // Panel 3: four rectangular pulses, painted over the panel-1 mask.
      {"Shape3", 0, Rectangle, {120, 1560, 255, 495}, Outlines},
      {"Shape4", 0, Rectangle, {480, 1560, 255, 495}, Outlines},
      {"Shape5", 0, Rectangle, {840, 1560, 255, 495}, Outlines},
      {"Shape6", 0, Rectangle, {1200, 1560, 255, 495}, Outlines},
  }};
}();

namespace sketch_rows {
template <typename Row, std::size_t N>
constexpr bool allNamed(const std::array<Row, N>& rows) {
  for (const Row& row : rows) {
    if (row.name.empty()) {
      return false;
    }
  }
  return true;
}
}  // namespace sketch_rows

// A row left out of a table would be value-initialised and painted as nothing.
static_assert(sketch_rows::allNamed(kLines));
static_assert(sketch_rows::allNamed(kShapes));

}  // namespace rms
