// SPDX-License-Identifier: MIT
// The calculator inside a web page. The page keeps the boxes, the button and the
// dialogs; this module keeps one Calculator for the life of the page and runs its
// Command1_Click over services that record what the press does. The page then replays
// the record in order, each message box a modal dialog that holds the rest of the
// replay until it is dismissed.
//
// The module also hands the page the window's design, from the same tables the desktop
// window is built from, so that no position is written twice.

#include <array>
#include <memory>
#include <string>
#include <string_view>

#include "runtime/services.h"
#include "window/calculator.h"
#include "window/input_limit.h"
#include "window/layout.h"
#include "window/sketch_data.h"
#include "window/twips.h"

namespace rms {
namespace {

constexpr std::array kBoxes{TextBox::t,       TextBox::P,       TextBox::Ip,      TextBox::Ia,
                            TextBox::Ib,      TextBox::Text6_0, TextBox::Text6_1, TextBox::Text6_3,
                            TextBox::Text6_4, TextBox::Text6_5, TextBox::Text6_6};

// A box's place in the list is its number in the enumeration.
static_assert([] {
  for (size_t i = 0; i < kBoxes.size(); ++i) {
    if (static_cast<size_t>(kBoxes[i]) != i) {
      return false;
    }
  }
  return true;
}());

void appendJson(std::string& out, std::string_view text) {
  out += '"';
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (byte < 0x20) {
      constexpr char kHex[] = "0123456789abcdef";
      out += "\\u00";
      out += kHex[byte >> 4];
      out += kHex[byte & 15];
    } else {
      out += c;
    }
  }
  out += '"';
}

void appendRect(std::string& out, const TwipsRect& r) {
  out += '[' + std::to_string(r.left) + ',' + std::to_string(r.top) + ',' +
         std::to_string(r.width) + ',' + std::to_string(r.height) + ']';
}

std::string_view kindName(ControlKind kind) {
  switch (kind) {
    case ControlKind::Label:
      return "label";
    case ControlKind::TextBox:
      return "box";
    case ControlKind::Button:
      return "button";
  }
  return "";
}

// Everything the page draws, in twips: the controls of kLayout, and the sketch elements
// already in their painting order, bottom to top, as the window paints them.
std::string designJson() {
  std::string out = "{\"caption\":";
  appendJson(out, kWindowCaption);
  out += ",\"twipsPerPixel\":" + std::to_string(kTwipsPerPixel);
  out += ",\"width\":" + std::to_string(kClientWidthTwips);
  out += ",\"height\":" + std::to_string(kClientHeightTwips);
  out += ",\"maxInputLength\":" + std::to_string(kMaxInputLength);
  out += ",\"controls\":[";
  for (const ControlRow& row : kLayout) {
    out += "{\"name\":";
    appendJson(out, objectNameOf(row));
    out += ",\"kind\":";
    appendJson(out, kindName(row.kind));
    out += ",\"rect\":";
    appendRect(out, row.rect);
    out += ",\"text\":";
    appendJson(out, row.text);
    out += ",\"tab\":" + std::to_string(row.tabIndex);
    out += row.align == TextAlign::Centred ? ",\"centred\":true" : "";
    out += row.font == FontRole::Legend ? ",\"legend\":true" : "";
    // The result boxes hold what the program writes; only the others have the limit.
    out += row.kind == ControlKind::TextBox && row.index == kNoIndex ? ",\"input\":true" : "";
    out += ",\"partner\":";
    appendJson(out, row.partner);
    out += "},";
  }
  out.back() = ']';
  out += ",\"sketch\":[";
  for (const PaintStep step : kPaintOrder) {
    for (const SketchShape& shape : kShapes) {
      if (shape.step == step) {
        out += "{\"kind\":";
        appendJson(out, nameOf(shape.kind));
        out += ",\"rect\":";
        appendRect(out, shape.twips);
        out += "},";
      }
    }
    if (step == kLinesStep) {
      for (const SketchLine& line : kLines) {
        const TwipsLine& l = line.twips;
        out += std::string("{\"kind\":\"") +
               (line.style == LineStyle::Dotted ? "dotted" : "solid") + "\",\"line\":[" +
               std::to_string(l.x1) + ',' + std::to_string(l.y1) + ',' + std::to_string(l.x2) +
               ',' + std::to_string(l.y2) + "]},";
      }
    }
  }
  out.back() = ']';
  out += ",\"boxes\":[";
  for (const TextBox box : kBoxes) {
    appendJson(out, boxName(box));
    out += ',';
  }
  out.back() = ']';
  out += '}';
  return out;
}

// The boxes as the page held them when Calculate was pressed, and the record of the
// press: a JSON array of its steps in order.
class PageServices : public Services {
 public:
  void type(int box, std::string_view text) { texts_.at(static_cast<size_t>(box)) = text; }
  void startRecord() { record_ = "["; }
  const std::string& finishRecord() {
    if (record_.size() > 1) {
      record_.pop_back();
    }
    record_ += ']';
    return record_;
  }

  std::string text(TextBox box) const override { return texts_[index(box)]; }
  void setText(TextBox box, std::string_view text) override {
    texts_[index(box)] = text;
    record_ += "{\"set\":";
    appendJson(record_, boxName(box));
    record_ += ",\"text\":";
    appendJson(record_, text);
    record_ += "},";
  }
  void showMessage(std::string_view prompt, MessageStyle style, std::string_view title) override {
    record_ += "{\"message\":";
    appendJson(record_, prompt);
    record_ += ",\"style\":" + std::to_string(static_cast<int>(style)) + ",\"title\":";
    appendJson(record_, title);
    record_ += "},";
  }
  void endProgram() override { record_ += "{\"end\":true},"; }

 private:
  static size_t index(TextBox box) { return static_cast<size_t>(box); }

  std::array<std::string, kBoxes.size()> texts_;
  std::string record_;
};

struct Page {
  PageServices services;
  std::unique_ptr<Calculator> calculator;
};
Page page;

}  // namespace
}  // namespace rms

// The page's calls. Strings cross as UTF-8, each returned pointer valid until the next
// call.
extern "C" {

const char* rms_design() {
  static const std::string design = rms::designJson();
  return design.c_str();
}

// The separator is the desktop's for the browser's language, ',' or '.'.
void rms_start(int decimalSeparator) {
  rms::page.calculator =
      std::make_unique<rms::Calculator>(rms::page.services, decimalSeparator == ',' ? ',' : '.');
}

// The text of a box by its place in the design's "boxes" list; NULs are part of it.
void rms_type(int box, const char* text, int size) {
  rms::page.services.type(box, std::string_view(text, static_cast<size_t>(size)));
}

const char* rms_press() {
  rms::page.services.startRecord();
  rms::page.calculator->Command1_Click();
  return rms::page.services.finishRecord().c_str();
}

}  // extern "C"
