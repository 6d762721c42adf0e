// SPDX-License-Identifier: MIT
// Fuzzes whole sessions of the calculator over in-memory boxes.
//
// The input is text, one line per step, so that seeds and findings can be read and
// written by hand:
//   lines 1 to 5   the texts of the boxes t, P, Ip, Ia and Ib
//   then per line  a box edit "<box><text>", with <box> one of t P p a b (the inputs)
//                  or 0 1 3 4 5 6 (the result boxes, which the user may type into),
//                  or anything else (an empty line, "=") for a press of Calculate.
//
// After every press:
//   - every result box written holds "", "NaN" or the exact text of a finite double;
//   - the failure counts never decrease; the read count rises by exactly the number of
//     input boxes that hold no readable number;
//   - each field holds what its box reads as, or its old value when the box did not
//     read, and after a duty-limit warning t holds T and the t box shows it;
//   - the messages are the program's own texts, the filled-boxes one at most once;
//   - the program ends exactly when a count first exceeds 10, after the "End" message,
//     and from then on nothing more is written or shown.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/press_invariants.h"
#include "runtime/conversions.h"
#include "runtime/failure.h"
#include "tests/press_log.h"
#include "window/calculator.h"

namespace {

using rms::TextBox;

constexpr int kMaxPresses = 200;
constexpr int kLimit = 10;
const TextBox kInputs[] = {TextBox::t, TextBox::P, TextBox::Ip, TextBox::Ia, TextBox::Ib};
const std::string kFill = "message:Error|16|Please ensure all boxes are filled";
const std::string kDuty =
    "message:Warning|64|Duty Cycle cannot be > 100%, t has been reduced to limit D to 100%";
const std::string kEnd = "message:End|16|Error ";

std::string_view g_input;  // the whole input, printed with a finding

void require(bool ok, const char* what) {
  if (!ok) {
    std::fprintf(stderr, "fuzz_press: %s\n--- input ---\n%.*s\n--- end ---\n", what,
                 static_cast<int>(std::min<size_t>(g_input.size(), 4000)), g_input.data());
    std::abort();
  }
}

std::optional<TextBox> boxFor(char c) {
  switch (c) {
    case 't':
      return TextBox::t;
    case 'P':
      return TextBox::P;
    case 'p':
      return TextBox::Ip;
    case 'a':
      return TextBox::Ia;
    case 'b':
      return TextBox::Ib;
    case '0':
      return TextBox::Text6_0;
    case '1':
      return TextBox::Text6_1;
    case '3':
      return TextBox::Text6_3;
    case '4':
      return TextBox::Text6_4;
    case '5':
      return TextBox::Text6_5;
    case '6':
      return TextBox::Text6_6;
    default:
      return std::nullopt;
  }
}

std::optional<float> readable(const std::string& text) {
  try {
    return rms::TextToSingle(text);
  } catch (const rms::Failure&) {
    return std::nullopt;
  }
}

template <typename Inputs>
auto& field(Inputs& in, TextBox b) {
  switch (b) {
    case TextBox::t:
      return in.t;
    case TextBox::P:
      return in.T;
    case TextBox::Ip:
      return in.Ip;
    case TextBox::Ia:
      return in.Ia;
    default:
      return in.Ib;
  }
}

class Session {
 public:
  void press() {
    const size_t logBefore = fake_.record().steps().size();
    const int readBefore = calc_.readErrorCount();
    const int clickBefore = calc_.clickErrorCount();
    const bool endedBefore = calc_.ended();

    // What convert_to_numbers should make of the boxes.
    rms::WaveformInputs expected = calc_.inputs();
    int unreadable = 0;
    for (TextBox b : kInputs) {
      if (const auto v = readable(fake_.text(b))) {
        field(expected, b) = *v;
      } else {
        ++unreadable;
      }
    }

    calc_.Command1_Click();

    std::vector<std::string> log = rms::logOf(fake_);
    log.erase(log.begin(), log.begin() + static_cast<long>(logBefore));
    const int read = calc_.readErrorCount();
    const int click = calc_.clickErrorCount();
    require(read >= readBefore && click >= clickBefore, "a failure count went down");
    require(fake_.ended() == calc_.ended(), "the calculator and the window disagree on the end");

    if (endedBefore) {
      require(log.empty(), "something was written or shown after the end");
      require(read == readBefore && click == clickBefore, "a count moved after the end");
      return;
    }

    const bool over = read > kLimit || click > kLimit;
    require(calc_.ended() == over, "the end does not match the failure counts");
    if (calc_.ended()) {
      require(read == kLimit + 1 || click == kLimit + 1, "ended past the eleventh failure");
      require(log.size() >= 2 && log.back() == "end", "the end is not the last thing done");
      require(log[log.size() - 2].starts_with(kEnd), "the end came without its message");
    } else {
      require(read - readBefore == unreadable, "read failures do not match the bad boxes");
    }

    int fills = 0;
    int warnings = 0;
    int writes = 0;
    std::optional<std::string> tWritten;
    for (size_t i = 0; i < log.size(); ++i) {
      const std::string& entry = log[i];
      if (entry == kFill) {
        ++fills;
        require(unreadable > 0, "filled-boxes message with every box readable");
      } else if (entry == kDuty) {
        require(tWritten.has_value(), "duty warning before the t box shows the period");
        ++warnings;
      } else if (entry.starts_with(kEnd) || entry == "end") {
        require(i + 2 >= log.size(), "something happened after the end");
      } else if (entry.starts_with("t=")) {
        tWritten = entry.substr(2);
      } else if (entry.starts_with("Text6(")) {
        const size_t eq = entry.find('=');
        require(eq != std::string::npos && rms::invariants::isResultText(entry.substr(eq + 1)),
                "a result box holds neither nothing, NaN nor a double's exact text");
        ++writes;
      } else {
        require(false, "an unexpected box write or message");
      }
    }
    require(fills <= 1, "filled-boxes message more than once in a press");
    if (calc_.ended()) {
      return;
    }
    require(writes == 6, "not every result box was written");
    require(warnings == (tWritten ? 1 : 0), "the t box changed without a duty warning");
    require((unreadable > 0) == (fills == 1), "filled-boxes message missing");

    if (tWritten) {
      // The duty limit: t took T, and the box shows a text that reads back as T.
      field(expected, TextBox::t) = expected.T;
      const auto back = readable(*tWritten);
      require(back.has_value() && *back == expected.T, "the t box does not read back as T");
    }
    for (TextBox b : kInputs) {
      require(field(expected, b) == field(calc_.inputs(), b),
              "a field does not hold what its box reads as");
    }
  }

  void type(TextBox b, std::string_view text) { fake_.type(b, text); }

 private:
  rms::Recorder fake_;
  rms::Calculator calc_{fake_};
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  g_input = std::string_view(reinterpret_cast<const char*>(data), size);
  std::vector<std::string_view> lines;
  for (std::string_view rest = g_input;;) {
    const size_t nl = rest.find('\n');
    lines.push_back(rest.substr(0, nl));
    if (nl == std::string_view::npos) {
      break;
    }
    rest.remove_prefix(nl + 1);
  }

  Session session;
  size_t i = 0;
  for (; i < lines.size() && i < std::size(kInputs); ++i) {
    session.type(kInputs[i], lines[i]);
  }
  int presses = 0;
  for (; i < lines.size() && presses < kMaxPresses; ++i) {
    const std::string_view line = lines[i];
    const auto box = line.empty() ? std::nullopt : boxFor(line.front());
    if (box) {
      session.type(*box, line.substr(1));
    } else {
      session.press();
      ++presses;
    }
  }
  if (presses == 0) {
    session.press();
  }
  return 0;
}
