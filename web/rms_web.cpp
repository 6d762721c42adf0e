// SPDX-License-Identifier: MIT
// The calculator inside a web page. The page keeps the boxes, the button and the
// dialogs; this module keeps one Calculator for the life of the page and runs its
// Command1_Click over services that record what the press does. The page then replays
// the record in order, each message box a modal dialog that holds the rest of the
// replay until it is dismissed.
//
// The module also hands the page the window's design, from the same tables the desktop
// window is built from, so that no position is written twice. Both cross to the page as
// typed values through embind.

#include <emscripten/bind.h>

#include <algorithm>
#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/conversions.h"
#include "runtime/failure.h"
#include "runtime/services.h"
#include "window/calculator.h"
#include "window/input_limit.h"
#include "window/layout.h"
#include "window/sketch_data.h"
#include "window/twips.h"

namespace rms {
namespace {

// The texts of the input boxes in the order of kInputBoxes.
using InputTexts = std::array<std::string, kInputBoxes.size()>;

struct Input {
  std::string name;  // the widget name
  std::string key;   // the name a person sees
};

struct Control {
  std::string name;  // the widget name, "Text6(3)" for an element of an array
  ControlKind kind;
  TwipsRect rect;
  std::string text;
  int tab;
  TextAlign align;
  FontRole font;
  bool input;  // an input box, which has the typing limit; the result boxes have none
  std::string partner;
};

// One element of the sketches: a shape in its rectangle, or a line.
struct SketchElement {
  bool isLine;
  ShapeKind shape;
  TwipsRect rect;
  LineStyle style;
  TwipsLine line;
};

struct Design {
  std::string caption;
  int twipsPerPixel;
  int width;
  int height;
  int maxInputLength;
  std::vector<Control> controls;
  std::vector<SketchElement> sketch;  // bottom to top, as the window paints them
  std::array<Input, kInputBoxes.size()> inputs;
};

Design design() {
  Design out{std::string(kWindowCaption),
             kTwipsPerPixel,
             kClientWidthTwips,
             kClientHeightTwips,
             kMaxInputLength,
             {},
             {},
             {}};
  for (const ControlRow& row : kLayout) {
    out.controls.push_back({objectNameOf(row), row.kind, row.rect, std::string(row.text),
                            row.tabIndex, row.align, row.font,
                            row.kind == ControlKind::TextBox && row.index == kNoIndex,
                            std::string(row.partner)});
  }
  for (const PaintStep step : kPaintOrder) {
    for (const SketchShape& shape : kShapes) {
      if (shape.step == step) {
        out.sketch.push_back({false, shape.kind, shape.twips, LineStyle::Solid, {}});
      }
    }
    if (step == kLinesStep) {
      for (const SketchLine& line : kLines) {
        out.sketch.push_back({true, ShapeKind::Rectangle, {}, line.style, line.twips});
      }
    }
  }
  for (size_t i = 0; i < kInputBoxes.size(); ++i) {
    out.inputs[i] = {std::string(boxName(kInputBoxes[i].box)), std::string(kInputBoxes[i].key)};
  }
  return out;
}

enum class StepKind { Set, Message, End };

// One thing a press did, in its order: a box written, a message shown, the end.
struct Step {
  StepKind kind;
  std::string box;   // Set: the box's widget name
  std::string text;  // Set: its new text; Message: the prompt
  MessageStyle style;
  std::string title;
};

// The boxes as the page held them when Calculate was pressed, and the record of the
// press.
class PageServices : public Services {
 public:
  std::string text(TextBox box) const override { return texts_[static_cast<size_t>(box)]; }
  void setText(TextBox box, std::string_view text) override {
    texts_[static_cast<size_t>(box)] = text;
    record_.push_back({StepKind::Set,
                       std::string(boxName(box)),
                       std::string(text),
                       MessageStyle::Information,
                       {}});
  }
  void showMessage(std::string_view prompt, MessageStyle style, std::string_view title) override {
    record_.push_back({StepKind::Message, {}, std::string(prompt), style, std::string(title)});
  }
  void endProgram() override {
    record_.push_back({StepKind::End, {}, {}, MessageStyle::Information, {}});
  }

  std::vector<Step> press(Calculator& calculator, const InputTexts& inputs) {
    for (size_t i = 0; i < kInputBoxes.size(); ++i) {
      texts_[static_cast<size_t>(kInputBoxes[i].box)] = inputs[i];
    }
    record_.clear();
    calculator.Command1_Click();
    return std::move(record_);
  }

 private:
  std::array<std::string, static_cast<size_t>(TextBox::Text6_6) + 1> texts_;
  std::vector<Step> record_;
};

// The page's one calculator. The separator is the desktop's for the browser's language,
// "," or ".".
class PageCalculator {
 public:
  explicit PageCalculator(const std::string& decimalSeparator)
      : separator_(decimalSeparator == "," ? ',' : '.'), calculator_(services_, separator_) {}

  // The five input texts in press order; a NUL is part of a text.
  std::vector<Step> press(const InputTexts& inputs) { return services_.press(calculator_, inputs); }

  // A box text as a link carries it: a number read with a decimal comma gets a '.', which
  // every language reads; any other text stays as it is.
  std::string linkText(const std::string& text) const {
    const Outcome<float> number = TryTextToSingle(text, separator_);
    if (separator_ == '.' || (!number && number.failure() == ErrorNumber::NotANumber)) {
      return text;
    }
    std::string out = text;
    std::replace(out.begin(), out.end(), ',', '.');
    return out;
  }

 private:
  char separator_;
  PageServices services_;
  Calculator calculator_;
};

}  // namespace
}  // namespace rms

EMSCRIPTEN_BINDINGS(calculator) {
  using namespace emscripten;
  using namespace rms;

  value_array<TwipsRect>("TwipsRect")
      .element(&TwipsRect::left)
      .element(&TwipsRect::top)
      .element(&TwipsRect::width)
      .element(&TwipsRect::height);
  value_array<TwipsLine>("TwipsLine")
      .element(&TwipsLine::x1)
      .element(&TwipsLine::y1)
      .element(&TwipsLine::x2)
      .element(&TwipsLine::y2);
  value_array<InputTexts>("InputTexts")
      .element(emscripten::index<0>())
      .element(emscripten::index<1>())
      .element(emscripten::index<2>())
      .element(emscripten::index<3>())
      .element(emscripten::index<4>());

  value_object<Input>("Input").field("name", &Input::name).field("key", &Input::key);
  value_array<std::array<Input, kInputBoxes.size()>>("Inputs")
      .element(emscripten::index<0>())
      .element(emscripten::index<1>())
      .element(emscripten::index<2>())
      .element(emscripten::index<3>())
      .element(emscripten::index<4>());

  enum_<ControlKind>("ControlKind")
      .value("Label", ControlKind::Label)
      .value("TextBox", ControlKind::TextBox)
      .value("Button", ControlKind::Button);
  enum_<TextAlign>("TextAlign").value("Left", TextAlign::Left).value("Centred", TextAlign::Centred);
  enum_<FontRole>("FontRole").value("Window", FontRole::Window).value("Legend", FontRole::Legend);
  enum_<ShapeKind>("ShapeKind")
      .value("Ellipse", ShapeKind::Ellipse)
      .value("Rectangle", ShapeKind::Rectangle)
      .value("Mask", ShapeKind::Mask);
  enum_<LineStyle>("LineStyle").value("Solid", LineStyle::Solid).value("Dotted", LineStyle::Dotted);
  enum_<StepKind>("StepKind")
      .value("Set", StepKind::Set)
      .value("Message", StepKind::Message)
      .value("End", StepKind::End);
  enum_<MessageStyle>("MessageStyle")
      .value("Critical", MessageStyle::Critical)
      .value("Information", MessageStyle::Information);

  value_object<Control>("Control")
      .field("name", &Control::name)
      .field("kind", &Control::kind)
      .field("rect", &Control::rect)
      .field("text", &Control::text)
      .field("tab", &Control::tab)
      .field("align", &Control::align)
      .field("font", &Control::font)
      .field("input", &Control::input)
      .field("partner", &Control::partner);
  value_object<SketchElement>("SketchElement")
      .field("isLine", &SketchElement::isLine)
      .field("shape", &SketchElement::shape)
      .field("rect", &SketchElement::rect)
      .field("style", &SketchElement::style)
      .field("line", &SketchElement::line);
  register_vector<Control>("ControlList");
  register_vector<SketchElement>("SketchList");
  value_object<Design>("Design")
      .field("caption", &Design::caption)
      .field("twipsPerPixel", &Design::twipsPerPixel)
      .field("width", &Design::width)
      .field("height", &Design::height)
      .field("maxInputLength", &Design::maxInputLength)
      .field("controls", &Design::controls)
      .field("sketch", &Design::sketch)
      .field("inputs", &Design::inputs);
  function("design", &design);

  value_object<Step>("Step")
      .field("kind", &Step::kind)
      .field("box", &Step::box)
      .field("text", &Step::text)
      .field("style", &Step::style)
      .field("title", &Step::title);
  register_vector<Step>("StepList");
  class_<PageCalculator>("Calculator")
      .constructor<const std::string&>()
      .function("press", &PageCalculator::press)
      .function("linkText", &PageCalculator::linkText);
}
