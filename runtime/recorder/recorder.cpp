// SPDX-License-Identifier: MIT
#include "runtime/recorder/recorder.h"

#include <algorithm>
#include <span>

#include "core/result_slots.h"

namespace rms {

bool PressRecord::limited() const {
  const std::span<const Step> all = steps();
  return std::any_of(all.begin(), all.end(), [](const Step& step) {
    return step.kind == StepKind::Message && step.style == MessageStyle::Information;
  });
}

std::array<std::string_view, 6> PressRecord::resultTexts() const {
  std::array<std::string_view, 6> results{};
  for (const Step& step : steps()) {
    const auto slot =
        std::find_if(kResultSlotFacts.begin(), kResultSlotFacts.end(),
                     [&](const ResultSlotFacts& facts) { return facts.box == step.box; });
    if (step.kind == StepKind::Set && slot != kResultSlotFacts.end()) {
      results[static_cast<size_t>(slot - kResultSlotFacts.begin())] = step.text;
    }
  }
  return results;
}

void Recorder::add(StepKind kind, TextBox box, std::string_view text, MessageStyle style,
                   std::string_view title) {
  if (record_.count_ == record_.steps_.size()) {
    record_.steps_.emplace_back();
  }
  Step& step = record_.steps_[record_.count_++];
  step.kind = kind;
  step.box = box;
  step.text.assign(text);
  step.style = style;
  step.title.assign(title);
}

void Recorder::setText(TextBox box, std::string_view text) {
  if (window_ != nullptr) {
    window_->setText(box, text);
  } else {
    texts_[index(box)].assign(text);
  }
  add(StepKind::Set, box, text, MessageStyle::Information, {});
}

void Recorder::showMessage(std::string_view prompt, MessageStyle style, std::string_view title) {
  add(StepKind::Message, TextBox::t, prompt, style, title);
  if (onMessage) {
    onMessage(*this);
  }
  if (window_ != nullptr) {
    window_->showMessage(prompt, style, title);
  }
}

void Recorder::endProgram() {
  record_.ended = true;
  add(StepKind::End, TextBox::t, {}, MessageStyle::Information, {});
  if (window_ != nullptr) {
    window_->endProgram();
  }
}

void Recorder::failureCounted(const CountedFailure& failure) {
  record_.failures.push_back(failure);
}

const PressRecord& Recorder::press(Calculator& calculator) {
  if (calculator.pressing()) {
    return record_;  // the calculator would ignore it
  }
  clearRecord();
  calculator.Command1_Click();
  record_.inputs = calculator.inputs();
  return record_;
}

void Recorder::clearRecord() {
  record_.count_ = 0;
  record_.failures.clear();
}

}  // namespace rms
