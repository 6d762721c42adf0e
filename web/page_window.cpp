// SPDX-License-Identifier: MIT
// Writes the window into the site at build time, from the same tables the desktop window is
// built from, so that the page paints its controls and sketches before any script or the
// WebAssembly module has come:
//   page_window caption   the window's caption, for the page's title
//   page_window markup    the labels, the sketches and the controls, in the window's stacking
//   page_window style     the window's typeface and their places, as CSS rules appended
//                         to page.css, the page's style
// Twips become CSS pixels here, through the one toPixels of window/twips.h; a CSS pixel is
// the window's logical pixel, which the browser's device-pixel ratio scales as Qt's does.
// The page's script finds the boxes it needs by their data attributes: data-tab, the place
// in the tab order; data-key, on the five input boxes, the key a link names them by; and
// on the window, data-inputs, the five boxes in press order, and data-limit, the typing limit.

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <string_view>

#include "figure/style.h"
#include "runtime/float_chars.h"
#include "runtime/services.h"
#include "window/faces.h"
#include "window/input_limit.h"
#include "window/layout.h"
#include "window/sketch_data.h"
#include "window/twips.h"

namespace rms {
namespace {

std::string out;

void put(std::string_view text) {
  out += text;
}

// A number as JavaScript's String() writes it here, the shortest digits that read back
// (every value is well inside the range where both write them without an exponent).
void put(double value) {
  if (value == 0) {
    put("0");
    return;
  }
  if (value < 0) {
    put("-");
    value = -value;
  }
  char buffer[32];
  out.append(buffer, writeShortest(buffer, value));
}

// Text in an element or in a quoted attribute value.
void putText(std::string_view text) {
  for (const char c : text) {
    switch (c) {
      case '&':
        put("&amp;");
        break;
      case '<':
        put("&lt;");
        break;
      case '>':
        put("&gt;");
        break;
      case '"':
        put("&quot;");
        break;
      default:
        out += c;
    }
  }
}

// An id as a CSS selector: every character but letters, digits, '-' and '_' escaped.
void putSelector(std::string_view id) {
  put("#");
  for (const char c : id) {
    const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                       c == '-' || c == '_';
    if (!plain) {
      out += '\\';
    }
    out += c;
  }
}

void putAttribute(std::string_view name, double value) {
  put(" ");
  put(name);
  put("=\"");
  put(value);
  put("\"");
}

std::string_view keyOf(const ControlRow& row) {
  for (const InputBox& input : kInputBoxes) {
    if (boxName(input.box) == objectNameOf(row)) {
      return input.key;
    }
  }
  return {};
}

void caption() {
  putText(kWindowCaption);
}

// The sketches, bottom to top in the order the design lists them. Lines and outlines run
// through the centres of their pixels, one logical pixel wide, so both end pixels light; a
// dotted line starts and ends on pixel edges so that each dot fills whole pixels.
void sketchLine(const SketchLine& row) {
  double x1 = toPixels(row.twips.x1) + 0.5;
  double y1 = toPixels(row.twips.y1) + 0.5;
  double x2 = toPixels(row.twips.x2) + 0.5;
  double y2 = toPixels(row.twips.y2) + 0.5;
  const bool dotted = row.style == LineStyle::Dotted;
  if (dotted) {
    const double length = std::hypot(x2 - x1, y2 - y1);
    if (length > 0) {
      const double dx = (x2 - x1) / (2 * length);
      const double dy = (y2 - y1) / (2 * length);
      x1 -= dx;
      y1 -= dy;
      x2 += dx;
      y2 += dy;
    }
  }
  put("<line");
  putAttribute("x1", x1);
  putAttribute("y1", y1);
  putAttribute("x2", x2);
  putAttribute("y2", y2);
  put(dotted ? " class=\"dotted\"/>" : " stroke-linecap=\"square\"/>");
}

void sketchShape(const SketchShape& row) {
  const double left = toPixels(row.twips.left);
  const double top = toPixels(row.twips.top);
  const double width = toPixels(row.twips.width);
  const double height = toPixels(row.twips.height);
  switch (row.kind) {
    case ShapeKind::Mask:
      put("<rect class=\"mask\"");
      putAttribute("x", left);
      putAttribute("y", top);
      putAttribute("width", width);
      putAttribute("height", height);
      break;
    case ShapeKind::Rectangle:
      put("<rect class=\"outline\"");
      putAttribute("x", left + 0.5);
      putAttribute("y", top + 0.5);
      putAttribute("width", width - 1);
      putAttribute("height", height - 1);
      break;
    case ShapeKind::Ellipse:
      put("<ellipse");
      putAttribute("cx", left + width / 2);
      putAttribute("cy", top + height / 2);
      putAttribute("rx", (width - 1) / 2);
      putAttribute("ry", (height - 1) / 2);
      break;
  }
  put("/>");
}

// Labels first, then the sketches over them, then the boxes and the button on top: the
// window's stacking.
void markup() {
  for (const ControlRow& row : kLayout) {
    if (row.kind != ControlKind::Label) {
      continue;
    }
    put("<div class=\"label");
    put(row.align == TextAlign::Centred ? " centred" : "");
    put(row.font == FontRole::Legend ? " legend" : "");
    put("\" id=\"");
    putText(objectNameOf(row));
    put("\">");
    putText(row.text);
    put("</div>\n");
  }
  put("<svg class=\"sketches\"");
  putAttribute("width", toPixels(kClientWidthTwips));
  putAttribute("height", toPixels(kClientHeightTwips));
  // The phone's style shows the sketches' column only, enlarged: the drawing fills the
  // element's height from its top-left corner and the rest is cut.
  put(" viewBox=\"0 0 ");
  put(toPixels(kClientWidthTwips));
  put(" ");
  put(toPixels(kClientHeightTwips));
  put("\" preserveAspectRatio=\"xMinYMin slice\"");
  put(" shape-rendering=\"crispEdges\" aria-hidden=\"true\">\n");
  for (const PaintStep step : kPaintOrder) {
    for (const SketchShape& shape : kShapes) {
      if (shape.step == step) {
        sketchShape(shape);
        put("\n");
      }
    }
    if (step == kLinesStep) {
      for (const SketchLine& line : kLines) {
        sketchLine(line);
        put("\n");
      }
    }
  }
  put("</svg>\n");
  for (const ControlRow& row : kLayout) {
    switch (row.kind) {
      case ControlKind::Label:
        continue;
      case ControlKind::TextBox:
        put("<input type=\"text\" id=\"");
        putText(objectNameOf(row));
        put("\" value=\"");
        putText(row.text);
        put("\" aria-label=\"");
        putText(row.partner);
        put("\" spellcheck=\"false\" autocomplete=\"off\"");
        if (const std::string_view key = keyOf(row); !key.empty()) {
          put(" data-key=\"");
          putText(key);
          put("\"");
        }
        break;
      case ControlKind::Button:
        put("<button type=\"button\" id=\"");
        putText(objectNameOf(row));
        put("\"");
        break;
    }
    putAttribute("data-tab", row.tabIndex);
    put(">");
    if (row.kind == ControlKind::Button) {
      putText(row.text);
      put("</button>");
    }
    put("\n");
  }
}

// The window's own attributes, after its id in the page.
void windowAttributes() {
  put("data-inputs=\"");
  for (const InputBox& input : kInputBoxes) {
    putText(boxName(input.box));
    put(&input == &kInputBoxes.back() ? "\"" : " ");
  }
  putAttribute("data-limit", kMaxInputLength);
  put(" data-figure=\"" RMS_PROGRAM "-waveforms.svg\"");
}

// Around the window, in CSS pixels.
constexpr int kPageMarginPixels = 8;

void place(std::string_view id, const TwipsRect& rect) {
  putSelector(id);
  put(" { left: ");
  put(toPixels(rect.left));
  put("px; top: ");
  put(toPixels(rect.top));
  put("px; width: ");
  put(toPixels(rect.width));
  put("px; height: ");
  put(toPixels(rect.height));
  put("px; }\n");
}

// The desktop window's typeface: the web font cut from its first family, then the families
// themselves. The fallback has the same metrics, so the window paints at once and changes
// no place when the web font comes.
void faces() {
  put("@font-face { font-family: \"" RMS_WEB_FONT
      "\"; src: url(\"korvath-sans.woff2\") "
      "format(\"woff2\"); font-weight: normal; font-style: normal; font-display: swap; }\n");
  put(":root { --font: \"" RMS_WEB_FONT "\"");
  for (const std::string_view family : kCaptionFamilies) {
    put(", \"");
    put(family);
    put("\"");
  }
  put(", sans-serif; }\n");
  put("body, dialog { font: ");
  put(kWindowPoints);
  put("pt var(--font); }\n");
  put("#window > .label.legend { font-size: ");
  put(kLegendPoints);
  put("pt; }\n");
}

// The phone's window: one column, read top to bottom. The input area and the button come
// first, then the six titles with their result boxes, then the sketches with their labels
// and formulas; each part keeps the design's arrangement, moved and enlarged in twips, so
// the one toPixels still places everything. Enlarged by 3/2 the boxes are 28 px high and
// hold 16 px text, at which a phone does not zoom in on focus; by 6/5 the window's 8 pt
// captions are over 12 px.
constexpr int kRightColumnTwips = 6600;  // the separator line of the sketches
constexpr int kInputsLeftTwips = 2640;
constexpr int kInputsTopTwips = 4320;
constexpr int kResultsLeftTwips = 7080;
constexpr int kGapTwips = 240;
constexpr int kFormulaLeftTwips = 2400;  // where the sketches end and the formulas begin

constexpr TwipsRect scaled(const TwipsRect& rect, int x, int y, int times, int per) {
  return {x + rect.left * times / per, y + rect.top * times / per, rect.width * times / per,
          rect.height * times / per};
}
constexpr TwipsRect moved(const TwipsRect& rect, int dx, int dy) {
  return {rect.left + dx, rect.top + dy, rect.width, rect.height};
}

enum class PhonePart { Inputs, Button, Results, Sketches };

constexpr PhonePart partOf(const ControlRow& row) {
  if (row.kind == ControlKind::Button) {
    return PhonePart::Button;
  }
  if (row.rect.left >= kRightColumnTwips) {
    return PhonePart::Results;
  }
  if (row.rect.left >= kInputsLeftTwips && row.rect.top >= kInputsTopTwips) {
    return PhonePart::Inputs;
  }
  return PhonePart::Sketches;
}

struct PhonePlaces {
  int inputsBottom = 0;
  TwipsRect button{};
  int resultsTop = 0;
  int resultsBottom = 0;
  int sketchesTop = 0;
};

constexpr PhonePlaces phonePlaces() {
  PhonePlaces places;
  int resultsTop = kClientHeightTwips;
  for (const ControlRow& row : kLayout) {
    const TwipsRect inputs =
        scaled(moved(row.rect, -kInputsLeftTwips, -kInputsTopTwips), 0, 0, 3, 2);
    switch (partOf(row)) {
      case PhonePart::Inputs:
        places.inputsBottom = std::max(places.inputsBottom, inputs.top + inputs.height);
        break;
      case PhonePart::Results:
        resultsTop = std::min(resultsTop, row.rect.top);
        break;
      case PhonePart::Button:
        places.button = scaled(moved(row.rect, -row.rect.left, -row.rect.top), 0, 0, 3, 2);
        break;
      case PhonePart::Sketches:
        break;
    }
  }
  places.button.top = places.inputsBottom + kGapTwips;
  places.resultsTop = places.button.top + places.button.height + kGapTwips - resultsTop * 3 / 2;
  for (const ControlRow& row : kLayout) {
    if (partOf(row) == PhonePart::Results) {
      const TwipsRect rect =
          scaled(moved(row.rect, -kResultsLeftTwips, 0), 0, places.resultsTop, 3, 2);
      places.resultsBottom = std::max(places.resultsBottom, rect.top + rect.height);
    }
  }
  places.sketchesTop = places.resultsBottom + kGapTwips;
  return places;
}

TwipsRect phoneRect(const ControlRow& row, const PhonePlaces& places) {
  switch (partOf(row)) {
    case PhonePart::Inputs:
      return scaled(moved(row.rect, -kInputsLeftTwips, -kInputsTopTwips), 0, 0, 3, 2);
    case PhonePart::Button:
      return places.button;
    case PhonePart::Results:
      return scaled(moved(row.rect, -kResultsLeftTwips, 0), 0, places.resultsTop, 3, 2);
    case PhonePart::Sketches:
      return scaled(row.rect, 0, places.sketchesTop, 6, 5);
  }
  return row.rect;
}

// A touch screen, or a viewport narrower than the window and the page's margins.
void phoneStyle() {
  const PhonePlaces places = phonePlaces();
  const TwipsRect sketches =
      scaled({0, 0, kClientWidthTwips, kClientHeightTwips}, 0, places.sketchesTop, 6, 5);
  put("@media (pointer: coarse), (max-width: ");
  put(toPixels(kClientWidthTwips) + 2 * kPageMarginPixels - 1);
  put("px) {\n");
  put("#window { width: auto; height: ");
  put(toPixels(sketches.top + sketches.height));
  put("px; }\n");
  put("#window > * { font-size: ");
  put(kWindowPoints * 6 / 5);
  put("pt; }\n#window > .label.legend { font-size: ");
  put(kLegendPoints * 6 / 5);
  put("pt; }\n#window > input, #window > button, dialog button { font-size: 16px; }\n");
  // The sketches' own column, cut where the formulas begin: the drawing is enlarged as the
  // labels beside it are.
  put("svg.sketches { top: ");
  put(toPixels(sketches.top));
  put("px; width: ");
  put(toPixels(kFormulaLeftTwips * 6 / 5));
  put("px; height: ");
  put(toPixels(sketches.height));
  put("px; }\n");
  for (const ControlRow& row : kLayout) {
    const TwipsRect rect = phoneRect(row, places);
    place(objectNameOf(row), rect);
    // A formula takes the rest of the line and wraps there.
    if (partOf(row) == PhonePart::Sketches && row.rect.left >= kFormulaLeftTwips) {
      putSelector(objectNameOf(row));
      put(" { width: auto; right: 0; height: auto; white-space: normal; }\n");
    }
  }
  put("dialog { font-size: ");
  put(kWindowPoints * 6 / 5);
  put("pt; max-width: calc(100vw - 32px); }\n");
  put("dialog .buttons button { height: 36px; }\n}\n");
}

// The figure's own rules, each selector scoped to the figure under the window: the page's
// policy admits no inline style, so the figure's <style> is left out of the page's copy.
void figureStyle() {
  std::string_view rules = kFigureStyleRules;
  while (!rules.empty()) {
    const size_t open = rules.find('{');
    const size_t close = rules.find('}', open);
    if (open == std::string_view::npos || close == std::string_view::npos) {
      break;
    }
    std::string_view selectors = rules.substr(0, open);
    for (size_t comma = 0; comma != std::string_view::npos;) {
      comma = selectors.find(',');
      put("#figure svg ");
      put(selectors.substr(0, comma));
      put(comma == std::string_view::npos ? " " : ", ");
      selectors.remove_prefix(comma == std::string_view::npos ? selectors.size() : comma + 1);
    }
    put(rules.substr(open, close + 1 - open));
    put("\n");
    rules.remove_prefix(close + 1);
  }
}

void style() {
  put("/* The window's typeface, and its controls at their places, from the layout table. */\n");
  faces();
  put("main { padding: ");
  put(kPageMarginPixels);
  put("px; }\n");
  place("window", {0, 0, kClientWidthTwips, kClientHeightTwips});
  put("svg.sketches { left: 0; top: 0; }\n");
  for (const ControlRow& row : kLayout) {
    place(objectNameOf(row), row.rect);
  }
  figureStyle();
  phoneStyle();
}

}  // namespace
}  // namespace rms

int main(int argc, char** argv) {
  using namespace rms;
  const std::string_view what = argc == 2 ? argv[1] : "";
  if (what == "caption") {
    caption();
  } else if (what == "markup") {
    markup();
  } else if (what == "window") {
    windowAttributes();
  } else if (what == "style") {
    style();
  } else {
    std::fputs("usage: page_window caption|window|markup|style\n", stderr);
    return 2;
  }
  // The loader writes whole lines only.
  if (!out.ends_with('\n')) {
    out += '\n';
  }
  std::fwrite(out.data(), 1, out.size(), stdout);
  return 0;
}
