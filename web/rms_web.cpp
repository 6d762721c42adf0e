// SPDX-License-Identifier: MIT
// The calculator inside a web page. The page keeps the boxes, the button and the
// dialogs; this module keeps one Calculator for the life of the page and runs its
// Command1_Click over the recorder of a press. The page then replays the record in order,
// each message box a modal dialog that holds the rest of the replay until it is dismissed.
//
// The press and its record cross to the page as typed values through embind; the window
// itself is in the page, written at build time by page_window.cpp.

#include <emscripten/bind.h>

#include <algorithm>
#include <array>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "figure/press_input.h"
#include "figure/svg.h"
#include "runtime/conversions.h"
#include "runtime/failure.h"
#include "runtime/recorder/recorder.h"
#include "runtime/services.h"
#include "window/calculator.h"

namespace rms {
namespace {

// The texts of the input boxes in the order of kInputBoxes.
using InputTexts = std::array<std::string, kInputBoxes.size()>;

// A step names its box as the page does, by the box's widget name.
std::string stepBox(const Step& step) {
  return std::string(boxName(step.box));
}
void setStepBox(Step& step, std::string name) {
  for (auto box = TextBox::t; box <= TextBox::Text6_6;
       box = static_cast<TextBox>(static_cast<int>(box) + 1)) {
    if (boxName(box) == name) {
      step.box = box;
    }
  }
}

// The page's one calculator. The separator is the desktop's for the browser's language,
// "," or ".".
class PageCalculator {
 public:
  explicit PageCalculator(const std::string& decimalSeparator)
      : separator_(decimalSeparator == "," ? ',' : '.'), calculator_(recorder_, separator_) {}

  // The five input texts in press order; a NUL is part of a text.
  std::vector<Step> press(const InputTexts& inputs) {
    for (size_t i = 0; i < kInputBoxes.size(); ++i) {
      recorder_.type(kInputBoxes[i].box, inputs[i]);
    }
    const std::span<const Step> steps = recorder_.press(calculator_).steps();
    return {steps.begin(), steps.end()};
  }

  // The last press's figure as an SVG document, its numbers with the page's decimal mark.
  std::string figure() const {
    return FigureSvg(MakeFigure(FigureInputOf(recorder_.record(), separator_, separator_)));
  }

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
  Recorder recorder_;
  Calculator calculator_;
};

}  // namespace
}  // namespace rms

EMSCRIPTEN_BINDINGS(calculator) {
  using namespace emscripten;
  using namespace rms;

  value_array<InputTexts>("InputTexts")
      .element(emscripten::index<0>())
      .element(emscripten::index<1>())
      .element(emscripten::index<2>())
      .element(emscripten::index<3>())
      .element(emscripten::index<4>());

  enum_<StepKind>("StepKind")
      .value("Set", StepKind::Set)
      .value("Message", StepKind::Message)
      .value("End", StepKind::End);
  enum_<MessageStyle>("MessageStyle")
      .value("Critical", MessageStyle::Critical)
      .value("Information", MessageStyle::Information);

  value_object<Step>("Step")
      .field("kind", &Step::kind)
      .field("box", &stepBox, &setStepBox)
      .field("text", &Step::text)
      .field("style", &Step::style)
      .field("title", &Step::title);
  register_vector<Step>("StepList");
  class_<PageCalculator>("Calculator")
      .constructor<const std::string&>()
      .function("press", &PageCalculator::press)
      .function("figure", &PageCalculator::figure)
      .function("linkText", &PageCalculator::linkText);
}
