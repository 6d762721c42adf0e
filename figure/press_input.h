// SPDX-License-Identifier: MIT
#pragma once

#include <span>
#include <string>

#include "figure/figure.h"
#include "window/calculator.h"

namespace rms {

// The figure's input from the records of one press: the inputs it ended with, the failures
// it counted and the six result texts it wrote (in the order of kResultSlots). A result
// box whose formula failed, or whose text could not be written, is a failed slot.
FigureInput FigureInputOf(const WaveformInputs& inputs, bool limited,
                          std::span<const std::string, 6> results,
                          std::span<const CountedFailure> failures, char decimalSeparator);

}  // namespace rms
