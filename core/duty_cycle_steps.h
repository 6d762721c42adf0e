// SPDX-License-Identifier: MIT
#pragma once

#include "core/waveform.h"

namespace rms {

// The duty-cycle steps of a calculation, shared by a press of Calculate and a batch row so
// that both limit the duty cycle in the same order: D = t/T; when D > 1, t takes the value
// of T, `onLimited` runs (the window writes t back and warns there), and D is formed again.
// Each step is handed to `run` as one statement; `run` decides what a failed step does.
template <typename Run, typename OnLimited>
void FormDutyCycle(WaveformInputs& in, Run&& run, OnLimited&& onLimited) {
  run([&in] { in.ComputeDutyCycle(); });
  if (in.NeedsDutyLimit()) {
    run([&in] { in.ApplyDutyLimit(); });
    onLimited();
    run([&in] { in.ComputeDutyCycle(); });
  }
}

}  // namespace rms
