// SPDX-License-Identifier: MIT
#pragma once

#include <array>

#include "runtime/failure.h"

namespace rms {

// The inputs of one window and the duty cycle derived from them, all in single
// precision. The formulas widen them to double. This type knows nothing of boxes or
// texts: the calculator fills it and asks for results.
struct WaveformInputs {
  float D = 0.0f;   // duty cycle t/T
  float t = 0.0f;   // on-time
  float T = 0.0f;   // period
  float Ip = 0.0f;  // peak current
  float Ia = 0.0f;  // current at the start of a ramp
  float Ib = 0.0f;  // current at the end of a ramp

  // D = t/T, formed in double and stored as the nearest single. D is stored before a
  // failed division (T = 0, or a quotient beyond the single range) is reported.
  void ComputeDutyCycle();
  // The same, with the failure returned instead of thrown.
  Status TryComputeDutyCycle();
  // D > 1, strictly; a NaN D does not need the limit.
  bool NeedsDutyLimit() const { return D > 1.0f; }
  // The first step of the duty limit; the calculator then forms D again.
  void ApplyDutyLimit() { t = T; }
};

// A result box and the formula behind it. The values are the indices of the result
// boxes; there is no slot 2.
enum class ResultSlot : int {
  FullWaveSine = 0,
  PulsedSine = 1,
  Rectangular = 3,
  Trapezoid = 4,
  Triangle = 5,
  General = 6,
};

inline constexpr std::array<ResultSlot, 6> kResultSlots = {
    ResultSlot::FullWaveSine, ResultSlot::PulsedSine, ResultSlot::Rectangular,
    ResultSlot::Trapezoid,    ResultSlot::Triangle,   ResultSlot::General,
};

// The RMS value of one waveform. Throws Failure on an invalid operation, a division by
// zero, an overflow or the square root of a negative number. The order of operations
// is fixed: it decides the last bits of the result.
double ComputeResult(ResultSlot slot, const WaveformInputs& in);
// The same, with the failure returned instead of thrown.
Outcome<double> TryComputeResult(ResultSlot slot, const WaveformInputs& in);

}  // namespace rms
