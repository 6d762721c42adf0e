// SPDX-License-Identifier: MIT
#include "figure/press_input.h"

namespace rms {

FigureInput FigureInputOf(const WaveformInputs& inputs, bool limited,
                          std::span<const std::string, 6> results,
                          std::span<const CountedFailure> failures, char decimalSeparator) {
  FigureInput input;
  input.inputs = inputs;
  input.limited = limited;
  input.decimalSeparator = decimalSeparator;
  for (size_t i = 0; i < results.size(); ++i) {
    input.results[i].text = results[i];
  }
  for (const CountedFailure& failure : failures) {
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
