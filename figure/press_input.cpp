// SPDX-License-Identifier: MIT
#include "figure/press_input.h"

#include <algorithm>

#include "core/result_slots.h"
#include "window/calculator.h"

namespace rms {

FigureInput FigureInputOf(const PressRecord& record, char pressMark, char decimalSeparator) {
  return FigureInputOf(
      PressFacts{record.inputs, record.failures, record.limited(), record.resultTexts()}, pressMark,
      decimalSeparator);
}

FigureInput FigureInputOf(const PressFacts& record, char pressMark, char decimalSeparator) {
  FigureInput input;
  input.inputs = record.inputs;
  input.limited = record.limited;
  input.decimalSeparator = decimalSeparator;
  const auto& results = record.results;
  for (size_t i = 0; i < results.size(); ++i) {
    input.results[i].text = results[i];
    std::replace(input.results[i].text.begin(), input.results[i].text.end(), pressMark,
                 decimalSeparator);
  }
  for (const CountedFailure& failure : record.failures) {
    if (failure.statement == PressStatement::FormDutyCycle && !input.dutyCycle) {
      input.dutyCycle = failure.number;
    }
    for (size_t i = 0; i < kInputBoxes.size(); ++i) {
      if (failure.statement == PressStatement::ReadBox && failure.box == kInputBoxes[i].box) {
        input.unread[i] = failure.number;
      }
    }
    for (size_t i = 0; i < kResultSlotFacts.size(); ++i) {
      const bool result = failure.statement == PressStatement::ComputeResult ||
                          failure.statement == PressStatement::WriteResult;
      if (result && failure.box == kResultSlotFacts[i].box && !input.results[i].failure) {
        input.results[i].failure = failure.number;
      }
    }
  }
  return input;
}

void PressWatch::setText(TextBox box, std::string_view text) {
  inner_.setText(box, text);
  const auto slot = std::find_if(kResultSlotFacts.begin(), kResultSlotFacts.end(),
                                 [box](const ResultSlotFacts& facts) { return facts.box == box; });
  if (slot != kResultSlotFacts.end()) {
    results_[static_cast<size_t>(slot - kResultSlotFacts.begin())].assign(text);
  }
}

void PressWatch::showMessage(std::string_view prompt, MessageStyle style, std::string_view title) {
  // The duty-limit warning is a press's one information box.
  limited_ = limited_ || style == MessageStyle::Information;
  inner_.showMessage(prompt, style, title);
}

std::optional<FigureInput> PressWatch::press(Calculator& calculator) {
  if (pressing_ || calculator.ended()) {
    calculator.Command1_Click();  // ignored by the calculator as well
    return std::nullopt;
  }
  pressing_ = true;
  struct Lower {
    bool& flag;
    ~Lower() { flag = false; }
  } lower{pressing_};
  limited_ = false;
  failures_.clear();
  for (std::string& result : results_) {
    result.clear();
  }
  calculator.Command1_Click();
  if (calculator.ended()) {
    return std::nullopt;
  }
  PressFacts facts{calculator.inputs(), failures_, limited_, {}};
  for (size_t i = 0; i < results_.size(); ++i) {
    facts.results[i] = results_[i];
  }
  return FigureInputOf(facts, decimalSeparator_, decimalSeparator_);
}

}  // namespace rms
