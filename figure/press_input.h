// SPDX-License-Identifier: MIT
#pragma once

#include "figure/figure.h"
#include "runtime/recorder/recorder.h"

namespace rms {

// The figure's input from the record of one press: the inputs it ended with, the failures
// it counted and the six result texts it wrote with the decimal mark `pressMark`, shown with
// `decimalSeparator`. A result box whose formula failed, or whose text could not be
// written, is a failed slot.
FigureInput FigureInputOf(const PressRecord& record, char pressMark, char decimalSeparator);

}  // namespace rms
