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
