// SPDX-License-Identifier: MIT
#include "runtime/recorder/recorder.h"

#include <algorithm>

namespace rms {

bool PressRecord::limited() const {
  return std::any_of(steps.begin(), steps.end(), [](const Step& step) {
    return step.kind == StepKind::Message && step.style == MessageStyle::Information;
  });
}

void Recorder::setText(TextBox box, std::string_view text) {
  texts_[index(box)].assign(text);
  record_.steps.push_back({StepKind::Set, box, std::string(text), MessageStyle::Information, {}});
}

void Recorder::showMessage(std::string_view prompt, MessageStyle style, std::string_view title) {
  record_.steps.push_back(
      {StepKind::Message, TextBox::t, std::string(prompt), style, std::string(title)});
  if (onMessage) {
    onMessage(*this);
  }
}

void Recorder::endProgram() {
  record_.ended = true;
  record_.steps.push_back({StepKind::End, TextBox::t, {}, MessageStyle::Information, {}});
}

void Recorder::failureCounted(const CountedFailure& failure) {
  record_.failures.push_back(failure);
}

const PressRecord& Recorder::press(Calculator& calculator) {
  clearRecord();
  calculator.Command1_Click();
  record_.inputs = calculator.inputs();
  return record_;
}

void Recorder::clearRecord() {
  record_.steps.clear();
  record_.failures.clear();
}

}  // namespace rms
