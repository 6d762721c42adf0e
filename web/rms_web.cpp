// SPDX-License-Identifier: MIT
// The calculator inside a web page. The page keeps the boxes, the button and the
// dialogs; this module keeps one Calculator for the life of the page and runs its
// Command1_Click over the recorder of a press. The page then replays the record in order,
// each message box a modal dialog that holds the rest of the replay until it is dismissed.
//
// A handful of plain exports, wrapped for the page by calculator.js: texts cross as UTF-8
// bytes with their lengths (a NUL is part of a text), and the record comes back as JSON.
// The window itself is in the page, written at build time by page_window.cpp.

#include <emscripten/emscripten.h>

#include <algorithm>
#include <array>
#include <span>
#include <string>
#include <string_view>

#include "figure/press_input.h"
#include "figure/svg.h"
#include "runtime/conversions.h"
#include "runtime/failure.h"
#include "runtime/recorder/recorder.h"
#include "runtime/services.h"
#include "window/calculator.h"

namespace rms {
namespace {

// A JSON string, as JSON.parse reads it back.
void appendJson(std::string& out, std::string_view text) {
  out += '"';
  for (const char c : text) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (static_cast<unsigned char>(c) < 0x20) {
      out += "\\u00";
      out += "0123456789abcdef"[c >> 4];
      out += "0123456789abcdef"[c & 15];
    } else {
      out += c;
    }
  }
  out += '"';
}

// The page's one calculator. The separator is the desktop's for the browser's language,
// ',' or '.'.
class PageCalculator {
 public:
  explicit PageCalculator(char decimalSeparator)
      : separator_(decimalSeparator == ',' ? ',' : '.'), calculator_(recorder_, separator_) {}

  // Room for the next call's text, written there by the page.
  char* text(size_t size) {
    text_.resize(size);
    return text_.data();
  }

  void type(size_t input) {
    if (input < kInputBoxes.size()) {
      recorder_.type(kInputBoxes[input].box, text_);
    }
  }

  // The press's steps in order: [{"kind":"set","box":"Text6_0","text":"0.3535534"}, …,
  // {"kind":"message","text":…,"style":"critical","title":…}, {"kind":"end"}].
  const std::string& press() {
    const std::span<const Step> steps = recorder_.press(calculator_).steps();
    out_ = "[";
    for (const Step& step : steps) {
      if (out_.size() > 1) {
        out_ += ',';
      }
      switch (step.kind) {
        case StepKind::Set:
          out_ += "{\"kind\":\"set\",\"box\":";
          appendJson(out_, boxName(step.box));
          out_ += ",\"text\":";
          appendJson(out_, step.text);
          break;
        case StepKind::Message:
          out_ += "{\"kind\":\"message\",\"text\":";
          appendJson(out_, step.text);
          out_ += step.style == MessageStyle::Critical ? ",\"style\":\"critical\",\"title\":"
                                                       : ",\"style\":\"information\",\"title\":";
          appendJson(out_, step.title);
          break;
        case StepKind::End:
          out_ += "{\"kind\":\"end\"";
          break;
      }
      out_ += '}';
    }
    out_ += ']';
    return out_;
  }

  // The last press's figure as an SVG document, its numbers with the page's decimal mark.
  const std::string& figure() {
    out_ = FigureSvg(MakeFigure(FigureInputOf(recorder_.record(), separator_, separator_)));
    return out_;
  }

  // The text as a link carries it: a number read with a decimal comma gets a '.', which
  // every language reads; any other text stays as it is.
  const std::string& linkText() {
    out_ = text_;
    const Outcome<float> number = TryTextToSingle(text_, separator_);
    if (separator_ == ',' && (number || number.failure() != ErrorNumber::NotANumber)) {
      std::replace(out_.begin(), out_.end(), ',', '.');
    }
    return out_;
  }

  const std::string& out() const { return out_; }

 private:
  char separator_;
  Recorder recorder_;
  Calculator calculator_;
  std::string text_;
  std::string out_;
};

}  // namespace
}  // namespace rms

// The exports calculator.js wraps. A call that answers with a text gives its length in
// bytes; rms_out gives where it is.
extern "C" {
using rms::PageCalculator;
EMSCRIPTEN_KEEPALIVE PageCalculator* rms_new(char separator) {
  return new PageCalculator(separator);
}
EMSCRIPTEN_KEEPALIVE char* rms_text(PageCalculator* calculator, size_t size) {
  return calculator->text(size);
}
EMSCRIPTEN_KEEPALIVE void rms_type(PageCalculator* calculator, size_t input) {
  calculator->type(input);
}
EMSCRIPTEN_KEEPALIVE size_t rms_press(PageCalculator* calculator) {
  return calculator->press().size();
}
EMSCRIPTEN_KEEPALIVE size_t rms_figure(PageCalculator* calculator) {
  return calculator->figure().size();
}
EMSCRIPTEN_KEEPALIVE size_t rms_link_text(PageCalculator* calculator) {
  return calculator->linkText().size();
}
EMSCRIPTEN_KEEPALIVE const char* rms_out(PageCalculator* calculator) {
  return calculator->out().data();
}
}
