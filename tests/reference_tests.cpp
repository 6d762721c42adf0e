// SPDX-License-Identifier: MIT
// A second, independent evaluation of the six RMS formulas.
//
// The formulas in core/ work in double precision in a fixed order. Here nothing is
// computed in floating point: every single input and every double result is an exact
// dyadic rational m * 2^e, and the checks compare squares of such numbers in GMP's exact
// rational arithmetic. That choice makes the reference itself free of rounding, so
// an error bound states a property of core/ alone (long double would have needed its
// own error analysis, and 64 bits of mantissa leave little room under a 2 ulp check).
//
// Nothing in core/ overflows or underflows for single inputs: the largest intermediate
// is about (2^128)^2 and the smallest about (2^-149)^2 * 2^-149, both well inside the
// normal double range. So every operation is one relative rounding of at most
// u = 2^-53, and the bounds below follow from counting those roundings.

#include <gmpxx.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "core/waveform.h"
#include "runtime/failure.h"

namespace rms {
namespace {

// An exact rational; every single and double is one, m * 2^e.
using Exact = mpq_class;

Exact exact(double x) {
  return Exact(x);  // mpq_set_d: exact for every finite double
}

Exact exactInt(long v) {
  return Exact(v);
}

int sign(const Exact& a) {
  return sgn(a);
}

const Exact kU(mpz_class(1), mpz_class(1) << 53);  // unit roundoff of double

// Distance from |x| to the next double up: the ulp of x.
Exact ulp(double x) {
  const double a = std::fabs(x);
  return exact(std::nextafter(a, std::numeric_limits<double>::infinity())) - exact(a);
}

// ---------------------------------------------------------------------------------
// Slots 0, 1, 3 and 5: result = Ip * sqrt(R) with R = 1/2, D/2, D or D/3.
//
// Each takes at most three roundings (the quotient by 3, the square root, the product;
// the halving is exact), each within half an ulp of its own result. Carried into the
// final result that is at most 2 ulp, so the check is |r - Ip*sqrt(R)| <= 2 ulp(r),
// decided exactly: with W = Ip^2 * R and c*W an exact dyadic,
//   y <= sqrt(W)  <=>  y <= 0 or c*y^2 <= c*W
//   sqrt(W) <= y  <=>  y >= 0 and c*W <= c*y^2.

struct Radicand {
  Exact cR;  // c * R, exact
  int c;
};

std::optional<Radicand> radicandOf(ResultSlot slot, const Exact& D) {
  switch (slot) {
    case ResultSlot::FullWaveSine:
      return Radicand{exactInt(1), 2};
    case ResultSlot::PulsedSine:
      return Radicand{D, 2};
    case ResultSlot::Rectangular:
      return Radicand{D, 1};
    case ResultSlot::Triangle:
      return Radicand{D, 3};
    default:
      return std::nullopt;
  }
}

bool atMostSqrt(const Exact& y, const Exact& cW, int c) {
  return sign(y) <= 0 || exactInt(c) * y * y <= cW;
}
bool sqrtAtMost(const Exact& cW, int c, const Exact& y) {
  return sign(y) >= 0 && cW <= exactInt(c) * y * y;
}

// Whether r lies within `ulps` ulp of Ip * sqrt(cR / c).
bool withinUlps(double r, const Exact& Ip, const Radicand& rad, int ulps) {
  const Exact cW = Ip * Ip * rad.cR;
  const Exact slack = exactInt(ulps) * ulp(r);
  const Exact lo = exact(r) - slack;
  const Exact hi = exact(r) + slack;
  if (sign(Ip) >= 0) {
    return atMostSqrt(lo, cW, rad.c) && sqrtAtMost(cW, rad.c, hi);
  }
  // x = -sqrt(W): lo <= x <=> sqrt(W) <= -lo, and x <= hi <=> -hi <= sqrt(W).
  return sqrtAtMost(cW, rad.c, -lo) && atMostSqrt(-hi, cW, rad.c);
}

// ---------------------------------------------------------------------------------
// Slots 4 and 6, with S = Ia^2 + Ia*Ib + Ib^2 and M = Ia^2 + |Ia*Ib| + Ib^2 >= |S|:
//   V4 = D * S / 3
//   V6 = D * (S/3 - D * (Ia+Ib)^2 / 4)
//
// The products of two singles are exact in double; the two sums that form S cost at
// most 2u*M together (M, not S: Ia*Ib may cancel against the squares). Slot 4 adds the
// roundings of one third and of two products (3u*S), slot 6 those of one third, of its
// product and of Ia+Ib, its square, the product by D/4, the difference and the product
// by D (about 4u*M/3 + 4u*|N| + u*(M/3 + |N|) + u*|V| with N = D*(Ia+Ib)^2/4). The
// final square root is correctly rounded, so r^2 is within 2u*v of the computed radicand
// v. Summed, with room for the second-order terms:
//   |r^2 - V4| <= 8u * |D| * M/3
//   |r^2 - V6| <= 9u * |D| * (M/3 + |N|)
// The bound for slot 6 is absolute, not relative to V6: the bracket cancels whenever D
// approaches 4S / (3 (Ia+Ib)^2), and there r may be far from sqrt(V6) in relative terms
// (near a zero bracket even the failure is allowed to go either way). In slot 4 S is at
// least 3/4 of the larger square while M is at most three times it, so M <= 4S and the
// bound stays within 32u of V4: no real cancellation there.
// Scaled by 3 (slot 4) and 12 (slot 6) so that every quantity is a dyadic rational.

struct Bracket {
  Exact scaledV;      // 3*V4 or 12*V6
  Exact scaledBound;  // 3*bound or 12*bound
  int scale;
};

Bracket bracketOf(ResultSlot slot, const Exact& D, const Exact& a, const Exact& b) {
  const Exact S = a * a + a * b + b * b;
  const Exact M = a * a + abs(a * b) + b * b;
  const Exact absD = abs(D);
  if (slot == ResultSlot::Trapezoid) {
    return {D * S, exactInt(8) * kU * absD * M, 3};
  }
  const Exact sum2 = (a + b) * (a + b);
  return {D * (exactInt(4) * S - exactInt(3) * D * sum2),
          exactInt(9) * kU * absD * (exactInt(4) * M + exactInt(3) * absD * sum2), 12};
}

std::optional<ErrorNumber> failureOf(ResultSlot slot, const WaveformInputs& in, double& result) {
  try {
    result = ComputeResult(slot, in);
  } catch (const Failure& f) {
    return f.number();
  }
  return std::nullopt;
}

// Draws singles of both signs over the whole range, zeros and subnormals included,
// and pairs of inputs built to meet the awkward spots of the formulas.
class Inputs {
 public:
  explicit Inputs(uint64_t seed) : rng_(seed) {}

  float anySingle(int minExp, int maxExp) {
    std::uniform_int_distribution<int> e(minExp, maxExp);
    std::uniform_int_distribution<uint32_t> m(0, (1u << 24) - 1);
    const float f = std::ldexp(static_cast<float>(m(rng_) | (1u << 23)), e(rng_) - 23);
    return coin() ? -f : f;
  }

  WaveformInputs next() {
    WaveformInputs in;
    in.Ip = anySingle(-149, 127);
    switch (pick(6)) {
      case 0:  // a duty cycle as the window forms it: at most 1, small or tiny
        in.D = std::fabs(anySingle(-149, 0));
        if (in.D > 1.0f) {
          in.D = 1.0f;
        }
        break;
      case 1:
        in.D = std::fabs(anySingle(-30, 0));
        break;
      case 2:  // negative: every slot but 0 must fail
        in.D = -std::fabs(anySingle(-149, 20));
        break;
      case 3:
        in.D = static_cast<float>(pick(3));  // 0, 1 or 2
        break;
      default:  // above the limit, where the general bracket turns negative
        in.D = std::fabs(anySingle(-4, 10));
        break;
    }
    switch (pick(4)) {
      case 0:  // wildly different magnitudes
        in.Ia = anySingle(-149, 127);
        in.Ib = anySingle(-149, 127);
        break;
      case 1:  // nearly opposite: Ia + Ib cancels
        in.Ia = anySingle(-40, 40);
        in.Ib = -std::nextafter(in.Ia, coin() ? 0.0f : in.Ia * 2.0f);
        break;
      case 2:  // nearly equal: the general bracket is zero at D = 1
        in.Ia = anySingle(-40, 40);
        in.Ib = pick(2) == 0 ? in.Ia : std::nextafter(in.Ia, 0.0f);
        break;
      default:
        in.Ia = anySingle(-20, 20);
        in.Ib = anySingle(-20, 20);
        break;
    }
    return in;
  }

  bool coin() { return pick(2) == 1; }
  int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }

 private:
  std::mt19937_64 rng_;
};

constexpr uint64_t kSeed = 20240611;
constexpr int kCases = 4000;

TEST(ReferenceTest, SimpleSlotsAreWithinTwoUlpOfTheExactValue) {
  Inputs gen(kSeed);
  int checked = 0;
  for (int i = 0; i < kCases; ++i) {
    const WaveformInputs in = gen.next();
    const Exact D = exact(in.D);
    const Exact Ip = exact(in.Ip);
    for (ResultSlot slot : {ResultSlot::FullWaveSine, ResultSlot::PulsedSine,
                            ResultSlot::Rectangular, ResultSlot::Triangle}) {
      const Radicand rad = *radicandOf(slot, D);
      double r = 0.0;
      const auto failure = failureOf(slot, in, r);
      SCOPED_TRACE(testing::Message() << "case " << i << " slot " << static_cast<int>(slot)
                                      << std::hexfloat << " D=" << in.D << " Ip=" << in.Ip);
      if (sign(rad.cR) < 0) {
        EXPECT_EQ(failure, ErrorNumber::SqrtOfNegative);
        continue;
      }
      ASSERT_FALSE(failure.has_value()) << "failed with " << static_cast<int>(*failure);
      ASSERT_TRUE(std::isfinite(r)) << r;
      EXPECT_TRUE(withinUlps(r, Ip, rad, 2)) << std::hexfloat << r;
      ++checked;
    }
  }
  EXPECT_GT(checked, kCases * 2) << "too few cases reached a value";
}

TEST(ReferenceTest, RampSlotsAreWithinTheirCancellationBounds) {
  Inputs gen(kSeed + 1);
  int values = 0;
  int failures = 0;
  for (int i = 0; i < kCases; ++i) {
    const WaveformInputs in = gen.next();
    const Exact D = exact(in.D);
    const Exact a = exact(in.Ia);
    const Exact b = exact(in.Ib);
    for (ResultSlot slot : {ResultSlot::Trapezoid, ResultSlot::General}) {
      const Bracket br = bracketOf(slot, D, a, b);
      double r = 0.0;
      const auto failure = failureOf(slot, in, r);
      SCOPED_TRACE(testing::Message()
                   << "case " << i << " slot " << static_cast<int>(slot) << std::hexfloat
                   << " D=" << in.D << " Ia=" << in.Ia << " Ib=" << in.Ib);
      if (failure) {
        EXPECT_EQ(*failure, ErrorNumber::SqrtOfNegative);
        EXPECT_TRUE(br.scaledV < br.scaledBound) << "failed on a radicand clearly above zero";
        ++failures;
        continue;
      }
      EXPECT_TRUE(-br.scaledBound <= br.scaledV) << "a radicand clearly below zero gave " << r;
      ASSERT_TRUE(std::isfinite(r) && r >= 0.0) << r;
      const Exact scaledR2 = exactInt(br.scale) * exact(r) * exact(r);
      EXPECT_TRUE(abs(scaledR2 - br.scaledV) <= br.scaledBound) << std::hexfloat << r;
      ++values;
    }
  }
  // Both outcomes must be exercised, or the bounds above were never put to the test.
  EXPECT_GT(values, kCases / 2);
  EXPECT_GT(failures, kCases / 10);
}

// D is the single nearest the double quotient t/T: within one single ulp of the exact
// quotient (two roundings, each within half an ulp of its own precision). A quotient
// beyond the single range fails and leaves D infinite.
TEST(ReferenceTest, DutyCycleIsWithinOneSingleUlpOfTheExactQuotient) {
  Inputs gen(kSeed + 2);
  int inRange = 0;
  for (int i = 0; i < kCases; ++i) {
    WaveformInputs in;
    in.T = gen.anySingle(-149, 127);
    do {
      in.t = gen.coin() ? gen.anySingle(-149, 127) : in.T * gen.anySingle(-30, 2);
    } while (!std::isfinite(in.t));
    bool failed = false;
    try {
      in.ComputeDutyCycle();
    } catch (const Failure& f) {
      failed = true;
      EXPECT_EQ(f.number(), ErrorNumber::Overflow);
    }
    SCOPED_TRACE(testing::Message() << std::hexfloat << "t=" << in.t << " T=" << in.T);
    if (failed) {
      EXPECT_TRUE(std::isinf(in.D)) << in.D;
      // Overflow only when the quotient rounds beyond the largest single.
      const Exact largest = exact(std::numeric_limits<float>::max());
      EXPECT_TRUE(abs(exact(in.T)) * largest < abs(exact(in.t)));
      continue;
    }
    ASSERT_TRUE(std::isfinite(in.D));
    const Exact ulpD =
        exact(std::nextafter(std::fabs(in.D), std::numeric_limits<float>::infinity())) -
        exact(std::fabs(in.D));
    // |D - t/T| <= ulp(D)  <=>  |D*T - t| <= ulp(D)*|T|
    EXPECT_TRUE(abs(exact(in.D) * exact(in.T) - exact(in.t)) <= ulpD * abs(exact(in.T)));
    EXPECT_EQ(in.NeedsDutyLimit(), in.D > 1.0f);
    ++inRange;
  }
  EXPECT_GT(inRange, kCases / 2);
}

// The exact checks themselves must reject what is wrong, or the tests above prove
// nothing: a result off by three ulp, the wrong sign, or a bracket off by a term.
TEST(ReferenceTest, TheExactChecksRejectWrongValues) {
  const Exact Ip = exact(3.0);
  const Radicand rect = *radicandOf(ResultSlot::Rectangular, exact(0.25));
  EXPECT_TRUE(withinUlps(1.5, Ip, rect, 2));
  EXPECT_TRUE(withinUlps(std::nextafter(1.5, 2.0), Ip, rect, 2));
  double off = 1.5;
  for (int i = 0; i < 3; ++i) {
    off = std::nextafter(off, 2.0);
  }
  EXPECT_FALSE(withinUlps(off, Ip, rect, 2));
  EXPECT_FALSE(withinUlps(-1.5, Ip, rect, 2));
  EXPECT_TRUE(withinUlps(-1.5, -Ip, rect, 2));

  // Ia = Ib = 1, D = 1: the bracket of the general slot is exactly zero.
  const Bracket zero = bracketOf(ResultSlot::General, exact(1.0), exact(1.0), exact(1.0));
  EXPECT_EQ(sign(zero.scaledV), 0);
  const Bracket trap = bracketOf(ResultSlot::Trapezoid, exact(0.5), exact(1.0), exact(3.0));
  EXPECT_EQ(sign(trap.scaledV - exact(6.5)), 0);  // 3 * 0.5 * 13 / 3
}

// Values worked out by hand from the published forms of these waveforms, to about 20
// digits (the decimal texts below are not doubles; they are compared within a few units
// of the double's precision).
struct Published {
  const char* name;
  ResultSlot slot;
  float D, Ip, Ia, Ib;
  double expected;
};

class PublishedForms : public testing::TestWithParam<Published> {};

TEST_P(PublishedForms, MatchTheFormula) {
  const Published& p = GetParam();
  WaveformInputs in;
  in.D = p.D;
  in.Ip = p.Ip;
  in.Ia = p.Ia;
  in.Ib = p.Ib;
  const double r = ComputeResult(p.slot, in);
  EXPECT_NEAR(r, p.expected, std::fabs(p.expected) * 0x1p-50 + 0x1p-60);
}

INSTANTIATE_TEST_SUITE_P(
    Reference, PublishedForms,
    testing::Values(
        // Full-wave sine: Ip / sqrt(2) = sqrt(2) for Ip = 2.
        Published{"FullWaveSine", ResultSlot::FullWaveSine, 0.5f, 2, 0, 0, 1.4142135623730950488},
        // Rectangular pulse Ip*sqrt(D): 2 * sqrt(1/4) and 10 * sqrt(9/16).
        Published{"RectangleQuarter", ResultSlot::Rectangular, 0.25f, 2, 0, 0, 1.0},
        Published{"RectangleNineSixteenths", ResultSlot::Rectangular, 0.5625f, 10, 0, 0, 7.5},
        // Half-sine pulses Ip*sqrt(D/2): 2 * sqrt(1/8) = 1/sqrt(2); -4 * sqrt(1/4) = -2
        // (the sign of Ip is kept).
        Published{"HalfSinePulses", ResultSlot::PulsedSine, 0.25f, 2, 0, 0, 0.70710678118654752440},
        Published{"HalfSineNegativePeak", ResultSlot::PulsedSine, 0.5f, -4, 0, 0, -2.0},
        // Sawtooth Ip*sqrt(D/3): 2 * sqrt(1/12) = 1/sqrt(3); 3 * sqrt(1/3) = sqrt(3).
        Published{"SawtoothQuarter", ResultSlot::Triangle, 0.25f, 2, 0, 0, 0.57735026918962576451},
        Published{"SawtoothFull", ResultSlot::Triangle, 1.0f, 3, 0, 0, 1.7320508075688772935},
        // Trapezoid sqrt(D (Ia^2 + Ia Ib + Ib^2) / 3): D = 1/2 from 1 to 3 gives
        // sqrt(13/6); from 0 to 3 at D = 1 it is the sawtooth, sqrt(3); from -1 to 1 at
        // D = 3/4 it is sqrt(1/4).
        Published{"TrapezoidOneToThree", ResultSlot::Trapezoid, 0.5f, 0, 1, 3,
                  1.4719601443879744758},
        Published{"TrapezoidFromZero", ResultSlot::Trapezoid, 1.0f, 0, 0, 3, 1.7320508075688772935},
        Published{"TrapezoidThroughZero", ResultSlot::Trapezoid, 0.75f, 0, -1, 1, 0.5},
        // AC part sqrt(RMS^2 - mean^2) with mean D (Ia + Ib) / 2:
        //   1..3, D = 1/2:  13/6 - 1^2        = 7/6
        //   1..3, D = 1/8:  13/24 - (1/4)^2   = 23/48
        //   2..2, D = 1/4:  1 - (1/2)^2       = 3/4
        //   0..3, D = 1:    3 - (3/2)^2       = 3/4
        //   -1..1, D = 3/4: 1/4 - 0           = 1/4
        Published{"AcOneToThreeHalf", ResultSlot::General, 0.5f, 0, 1, 3, 1.0801234497346433718},
        Published{"AcOneToThreeEighth", ResultSlot::General, 0.125f, 0, 1, 3,
                  0.69221865524317290438},
        Published{"AcFlat", ResultSlot::General, 0.25f, 0, 2, 2, 0.86602540378443864676},
        Published{"AcSawtooth", ResultSlot::General, 1.0f, 0, 0, 3, 0.86602540378443864676},
        Published{"AcSymmetricRamp", ResultSlot::General, 0.75f, 0, -1, 1, 0.5}),
    [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace rms
