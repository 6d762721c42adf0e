// SPDX-License-Identifier: MIT
#include "core/waveform.h"

#include "runtime/checked_math.h"

namespace rms {

Status WaveformInputs::TryComputeDutyCycle() {
  CheckedArithmetic fp;
  D = fp.toSingle(fp.div(t, T));
  fp.checkpoint();
  if (fp.failure()) {
    return *fp.failure();
  }
  return kDone;
}

void WaveformInputs::ComputeDutyCycle() {
  (void)TryComputeDutyCycle().valueOrThrow();
}

namespace {

// Sum of the squares of a ramp from a to b, less its division by three:
// sq(a) + a*b, then sq(b) added in front.
double rampSquares(CheckedArithmetic& fp, double a, double b) {
  const double aa = fp.square(a);
  const double product = fp.mul(a, b);
  fp.checkpoint();
  const double s1 = fp.add(aa, product);
  fp.checkpoint();
  return fp.add(fp.square(b), s1);
}

// Every formula runs to its end; the first failed check decides the outcome.
double formula(CheckedArithmetic& fp, ResultSlot slot, const WaveformInputs& in) {
  const double D = in.D;
  const double Ip = in.Ip;
  const double Ia = in.Ia;
  const double Ib = in.Ib;

  switch (slot) {
    case ResultSlot::FullWaveSine: {
      const double a = fp.sqrt(2.0);
      const double result = fp.div(Ip, a);
      fp.checkpoint();
      return result;
    }
    case ResultSlot::PulsedSine: {
      const double q = fp.div(D, 2.0);
      fp.checkpoint();
      const double result = fp.mul(Ip, fp.sqrt(q));
      fp.checkpoint();
      return result;
    }
    case ResultSlot::Rectangular: {
      const double result = fp.mul(Ip, fp.sqrt(D));
      fp.checkpoint();
      return result;
    }
    case ResultSlot::Trapezoid: {
      const double d = D;
      fp.checkpoint();
      const double s2 = rampSquares(fp, Ia, Ib);
      const double p = fp.mul(s2, d);
      // One third is multiplied in, never divided: dividing by 3 rounds differently.
      const double k = fp.div(1.0, 3.0);
      const double v = fp.mul(p, k);
      fp.checkpoint();
      return fp.sqrt(v);
    }
    case ResultSlot::Triangle: {
      const double q = fp.div(D, 3.0);
      fp.checkpoint();
      const double result = fp.mul(Ip, fp.sqrt(q));
      fp.checkpoint();
      return result;
    }
    case ResultSlot::General: {
      const double d = D;
      fp.checkpoint();
      const double s2 = rampSquares(fp, Ia, Ib);
      const double a = fp.mul(s2, fp.div(1.0, 3.0));
      fp.checkpoint();
      const double q = fp.div(D, 4.0);
      fp.checkpoint();
      const double sum = fp.add(Ia, Ib);
      fp.checkpoint();
      const double m = fp.square(sum);
      const double v = fp.mul(fp.sub(a, fp.mul(m, q)), d);
      fp.checkpoint();
      return fp.sqrt(v);
    }
  }
  return 0.0;  // not reached: every slot is handled above
}

}  // namespace

Outcome<double> TryComputeResult(ResultSlot slot, const WaveformInputs& in) {
  CheckedArithmetic fp;
  const double result = formula(fp, slot, in);
  if (fp.failure()) {
    return *fp.failure();
  }
  return result;
}

double ComputeResult(ResultSlot slot, const WaveformInputs& in) {
  return TryComputeResult(slot, in).valueOrThrow();
}

}  // namespace rms
