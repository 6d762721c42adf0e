// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <vector>

#include "runtime/recorder/recorder.h"

namespace rms {

// The steps recorded so far as lines, so that a test's expected record reads as a table:
//   "Text6(0)=0.5"                  a box was written
//   "message:Warning|64|Duty ..."   a message box: title, style and prompt
//   "end"                           the program was ended
inline std::string lineOf(const Step& step) {
  switch (step.kind) {
    case StepKind::Set:
      return std::string(boxName(step.box)) + "=" + step.text;
    case StepKind::Message:
      return "message:" + step.title + "|" + std::to_string(static_cast<int>(step.style)) + "|" +
             step.text;
    case StepKind::End:
      return "end";
  }
  return "?";
}

inline std::vector<std::string> logOf(const Recorder& recorder) {
  std::vector<std::string> lines;
  for (const Step& step : recorder.record().steps()) {
    lines.push_back(lineOf(step));
  }
  return lines;
}

// The message boxes shown, as "title|style|prompt".
inline std::vector<std::string> messagesOf(const Recorder& recorder) {
  std::vector<std::string> lines;
  for (const Step& step : recorder.record().steps()) {
    if (step.kind == StepKind::Message) {
      lines.push_back(lineOf(step).substr(std::string_view("message:").size()));
    }
  }
  return lines;
}

}  // namespace rms
