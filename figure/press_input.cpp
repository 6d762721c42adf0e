// SPDX-License-Identifier: MIT
#include "figure/press_input.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "core/result_slots.h"

namespace rms {

FigureInput FigureInputOf(const PressRecord& record, char pressMark, char decimalSeparator) {
  FigureInput input;
  input.inputs = record.inputs;
  input.limited = record.limited();
  input.decimalSeparator = decimalSeparator;
  const std::array<std::string_view, 6> results = record.resultTexts();
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

}  // namespace rms
