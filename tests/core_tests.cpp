// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>

#include "core/waveform.h"
#include "runtime/failure.h"

namespace rms {
namespace {

WaveformInputs inputs(float t, float T, float Ip, float Ia, float Ib) {
  WaveformInputs in;
  in.t = t;
  in.T = T;
  in.Ip = Ip;
  in.Ia = Ia;
  in.Ib = Ib;
  in.ComputeDutyCycle();
  if (in.NeedsDutyLimit()) {
    in.ApplyDutyLimit();
    in.ComputeDutyCycle();
  }
  return in;
}

std::optional<ErrorNumber> failureOf(ResultSlot slot, const WaveformInputs& in) {
  try {
    ComputeResult(slot, in);
  } catch (const Failure& f) {
    return f.number();
  }
  return std::nullopt;
}

// Expected bits come from an independent evaluation of the same order of operations.
struct Case {
  const char* name;
  float t, T, Ip, Ia, Ib;
  float D;
  double slot0, slot1, slot3, slot4, slot5, slot6;
};

class ResultsBitForBit : public testing::TestWithParam<Case> {};

TEST_P(ResultsBitForBit, AllSixSlots) {
  const Case& c = GetParam();
  const WaveformInputs in = inputs(c.t, c.T, c.Ip, c.Ia, c.Ib);
  EXPECT_EQ(in.D, c.D);
  EXPECT_EQ(ComputeResult(ResultSlot::FullWaveSine, in), c.slot0);
  EXPECT_EQ(ComputeResult(ResultSlot::PulsedSine, in), c.slot1);
  EXPECT_EQ(ComputeResult(ResultSlot::Rectangular, in), c.slot3);
  EXPECT_EQ(ComputeResult(ResultSlot::Trapezoid, in), c.slot4);
  EXPECT_EQ(ComputeResult(ResultSlot::Triangle, in), c.slot5);
  EXPECT_EQ(ComputeResult(ResultSlot::General, in), c.slot6);
}

INSTANTIATE_TEST_SUITE_P(
    Waveforms, ResultsBitForBit,
    testing::Values(Case{"WindowDefaults", 0.5f, 1, 1, 0.5f, 1, 0.5f, 0x1.6a09e667f3bccp-1, 0.5,
                         0x1.6a09e667f3bcdp-1, 0x1.1482f86c40c42p-1, 0x1.a20bd700c2c3ep-2,
                         0x1.8df7da2e66e87p-2},
                    Case{"FullDuty", 1, 1, 1, 1, 1, 1.0f, 0x1.6a09e667f3bccp-1,
                         0x1.6a09e667f3bcdp-1, 1.0, 1.0, 0x1.279a74590331cp-1, 0.0},
                    Case{"LimitedDuty", 2, 1, 1, 1, 1, 1.0f, 0x1.6a09e667f3bccp-1,
                         0x1.6a09e667f3bcdp-1, 1.0, 1.0, 0x1.279a74590331cp-1, 0.0},
                    Case{"SingleDuty", 0.3f, 1, 1, 0.5f, 1, 0x1.333334p-2f, 0x1.6a09e667f3bccp-1,
                         0x1.8c97efc829c98p-2, 0x1.186f17ad02a43p-1, 0x1.ac5eb486756b6p-2,
                         0x1.43d1369074f84p-2, 0x1.6921e7effa0cdp-2},
                    Case{"TrapezoidIsTriangle", 0.3f, 1, 2, 0, 2, 0x1.333334p-2f,
                         0x1.6a09e667f3bccp+0, 0x1.8c97efc829c98p-1, 0x1.186f17ad02a43p+0,
                         0x1.43d1369074f84p-1, 0x1.43d1369074f84p-1, 0x1.1d11cd557940fp-1},
                    Case{"QuarterDuty", 0.25f, 1, 10, 2, 3, 0.25f, 0x1.c48c6001f0abfp+2,
                         0x1.c48c6001f0ac0p+1, 5.0, 0x1.4220532e48a3dp+0, 0x1.7181116f43fe3p+1,
                         0x1.1794a4b6cf5c2p+0},
                    Case{"RampThroughZero", 1, 3, 5, -1, 2, 0x1.555556p-2f, 0x1.c48c6001f0abfp+1,
                         0x1.054766a1cb940p+1, 0x1.718111cba4428p+1, 0x1.279a74a2e9cedp-1,
                         0x1.aaaaab1555554p+0, 0x1.1b04c66ae1d6fp-1}),
    [](const auto& info) { return info.param.name; });

TEST(Waveform, SlotZeroAndThreeDifferByOneUlpOnTheDefaults) {
  const WaveformInputs in = inputs(0.5f, 1, 1, 0.5f, 1);
  const double sine = ComputeResult(ResultSlot::FullWaveSine, in);
  const double rect = ComputeResult(ResultSlot::Rectangular, in);
  EXPECT_EQ(std::nextafter(sine, 1.0), rect);
}

TEST(Waveform, TheDutyCycleIsASingleNotTheExactQuotient) {
  const WaveformInputs in = inputs(0.3f, 1, 1, 0, 0);
  EXPECT_NE(ComputeResult(ResultSlot::Rectangular, in), std::sqrt(0.3));
  EXPECT_EQ(ComputeResult(ResultSlot::Rectangular, in), std::sqrt(double(0.3f)));
}

TEST(DutyCycle, LimitOnlyAboveOne) {
  EXPECT_FALSE(inputs(1, 1, 1, 1, 1).NeedsDutyLimit());
  WaveformInputs in;
  in.D = std::nextafter(1.0f, 2.0f);
  EXPECT_TRUE(in.NeedsDutyLimit());
  in.D = std::numeric_limits<float>::quiet_NaN();
  EXPECT_FALSE(in.NeedsDutyLimit());
  in.D = std::numeric_limits<float>::infinity();
  EXPECT_TRUE(in.NeedsDutyLimit());
}

struct DutyFailure {
  const char* name;
  float t, T;
  ErrorNumber number;
  float storedD;  // NaN means "is NaN"
};

class DutyCycleFailures : public testing::TestWithParam<DutyFailure> {};

TEST_P(DutyCycleFailures, StoreTheQuotientBeforeFailing) {
  const DutyFailure& row = GetParam();
  WaveformInputs in;
  in.t = row.t;
  in.T = row.T;
  try {
    in.ComputeDutyCycle();
    FAIL() << "no failure";
  } catch (const Failure& f) {
    EXPECT_EQ(f.number(), row.number);
  }
  if (std::isnan(row.storedD)) {
    EXPECT_TRUE(std::isnan(in.D));
  } else {
    EXPECT_EQ(in.D, row.storedD);
  }
}

constexpr float kInfF = std::numeric_limits<float>::infinity();

INSTANTIATE_TEST_SUITE_P(
    Failing, DutyCycleFailures,
    testing::Values(DutyFailure{"ZeroPeriod", 1, 0, ErrorNumber::DivisionByZero, kInfF},
                    DutyFailure{"NegativeOverZero", -1, 0, ErrorNumber::DivisionByZero, -kInfF},
                    DutyFailure{"ZeroOverZero", 0, 0, ErrorNumber::InvalidOperation,
                                std::numeric_limits<float>::quiet_NaN()},
                    DutyFailure{"BeyondSingleRange", 1e38f, 1e-38f, ErrorNumber::Overflow, kInfF}),
    [](const auto& info) { return info.param.name; });

struct SlotFailure {
  const char* name;
  float D, Ip, Ia, Ib;
  ResultSlot slot;
  std::optional<ErrorNumber> number;
};

class SlotFailures : public testing::TestWithParam<SlotFailure> {};

TEST_P(SlotFailures, FailWithTheRightNumber) {
  const SlotFailure& row = GetParam();
  WaveformInputs in;
  in.D = row.D;
  in.Ip = row.Ip;
  in.Ia = row.Ia;
  in.Ib = row.Ib;
  EXPECT_EQ(failureOf(row.slot, in), row.number);
}

constexpr float kNaNF = std::numeric_limits<float>::quiet_NaN();

INSTANTIATE_TEST_SUITE_P(
    Slots, SlotFailures,
    testing::Values(
        SlotFailure{"NegativeDutyPulsed", -0.5f, 1, 1, 1, ResultSlot::PulsedSine,
                    ErrorNumber::SqrtOfNegative},
        SlotFailure{"NegativeDutyRect", -0.5f, 1, 1, 1, ResultSlot::Rectangular,
                    ErrorNumber::SqrtOfNegative},
        SlotFailure{"NegativeDutyTrapezoid", -0.5f, 1, 1, 1, ResultSlot::Trapezoid,
                    ErrorNumber::SqrtOfNegative},
        SlotFailure{"NegativeDutyTriangle", -0.5f, 1, 1, 1, ResultSlot::Triangle,
                    ErrorNumber::SqrtOfNegative},
        SlotFailure{"NegativeDutyGeneral", -0.5f, 1, 1, 1, ResultSlot::General,
                    ErrorNumber::SqrtOfNegative},
        SlotFailure{"NegativeDutySineStillWorks", -0.5f, 1, 1, 1, ResultSlot::FullWaveSine,
                    std::nullopt},
        // The bracket of the general slot goes negative past 4(a²+ab+b²)/(3(a+b)²), which
        // is 1 at Ia = Ib; the duty limit keeps real inputs from getting there.
        SlotFailure{"GeneralBracketNegative", 1.5f, 1, 1, 1, ResultSlot::General,
                    ErrorNumber::SqrtOfNegative},
        SlotFailure{"NaNDutyIsQuiet", kNaNF, 1, 1, 1, ResultSlot::General, std::nullopt},
        SlotFailure{"NaNDutyIsQuietTrapezoid", kNaNF, 1, 1, 1, ResultSlot::Trapezoid, std::nullopt},
        // 0 * inf in the unchecked product is caught by the next check.
        SlotFailure{"InfiniteDutyZeroRamp", kInfF, 1, 0, 0, ResultSlot::Trapezoid,
                    ErrorNumber::InvalidOperation},
        SlotFailure{"InfiniteDutyZeroPeak", kInfF, 0, 0, 0, ResultSlot::Rectangular,
                    ErrorNumber::InvalidOperation},
        // inf - inf never happens here: the bracket becomes -inf, and its root fails.
        SlotFailure{"InfiniteDutyGeneral", kInfF, 1, 1, 1, ResultSlot::General,
                    ErrorNumber::SqrtOfNegative}),
    [](const auto& info) { return info.param.name; });

TEST(Waveform, UndefinedDutyCycleFlowsThroughAsNaN) {
  WaveformInputs in = inputs(0.5f, 1, 1, 0.5f, 1);
  in.D = kNaNF;
  for (ResultSlot slot : {ResultSlot::PulsedSine, ResultSlot::Rectangular, ResultSlot::Trapezoid,
                          ResultSlot::Triangle, ResultSlot::General}) {
    EXPECT_TRUE(std::isnan(ComputeResult(slot, in))) << static_cast<int>(slot);
  }
  EXPECT_FALSE(std::isnan(ComputeResult(ResultSlot::FullWaveSine, in)));
}

}  // namespace
}  // namespace rms
