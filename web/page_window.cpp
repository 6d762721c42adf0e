// SPDX-License-Identifier: MIT
// Writes the window into the site at build time, from the same tables the desktop window is
// built from, so that the page paints its controls and sketches before any script or the
// WebAssembly module has come:
//   page_window caption   the window's caption, for the page's title
//   page_window markup    the labels, the sketches and the controls, in the window's stacking
//   page_window style     the window's typeface and their places, as CSS rules appended
//                         to page.css
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
}

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
  put("@font-face { font-family: \"Korvath Sans\"; src: url(\"korvath-sans.woff2\") "
      "format(\"woff2\"); font-weight: normal; font-style: normal; font-display: swap; }\n");
  put(":root { --font: \"Korvath Sans\"");
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

void style() {
  put("/* The window's typeface, and its controls at their places, from the layout table. */\n");
  faces();
  place("window", {0, 0, kClientWidthTwips, kClientHeightTwips});
  put("svg.sketches { left: 0; top: 0; }\n");
  for (const ControlRow& row : kLayout) {
    place(objectNameOf(row), row.rect);
  }
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
