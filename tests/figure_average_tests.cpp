// SPDX-License-Identifier: MIT
// The averages and AC parts of the figure against an independent evaluation: exact
// rationals (GMP) where the value is rational in the singles, long double elsewhere.
#include <gmpxx.h>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "figure/figure.h"

namespace rms {
namespace {

struct Operating {
  float D, Ip, Ia, Ib;
};
constexpr Operating kPoints[] = {
    {0.5f, 1.0f, 0.5f, 1.0f},       {0.3f, -4.0f, 1.0f, -2.0f},      {1.0f, 3.0f, 2.0f, 2.0f},
    {0.01f, 100.0f, 0.0f, 100.0f},  {0.0f, 1.0f, 1.0f, 1.0f},        {0.7f, 1e-38f, 3e-38f, 1e-38f},
    {0.999f, 3e38f, 3e38f, -3e38f}, {0.123456f, 7.5f, -1.25f, 9.0f},
};

WaveformInputs inputsOf(const Operating& p) {
  WaveformInputs in;
  in.D = p.D;
  in.T = 1;
  in.t = p.D;
  in.Ip = p.Ip;
  in.Ia = p.Ia;
  in.Ib = p.Ib;
  return in;
}

// |value - exact| within `ulps` units in the last place of the exact value.
void expectClose(double value, const mpq_class& exact, double ulps) {
  const double e = exact.get_d();
  const mpq_class error = abs(mpq_class(value) - exact);
  const double allowed = ulps * std::numeric_limits<double>::epsilon() * std::fabs(e);
  EXPECT_LE(error.get_d(), std::max(allowed, std::numeric_limits<double>::denorm_min()))
      << value << " against " << e;
}

TEST(FigureAverages, RationalOnesMatchExactFractions) {
  for (const Operating& p : kPoints) {
    const WaveformInputs in = inputsOf(p);
    const mpq_class D(p.D), Ip(p.Ip), Ia(p.Ia), Ib(p.Ib);
    const mpq_class trapezoid = D * (Ia + Ib) / 2;
    const struct {
      ResultSlot slot;
      mpq_class average;
      mpq_class meanSquare;  // RMS², from the formulas' own definitions
    } kRows[] = {
        {ResultSlot::Rectangular, D * Ip, D * Ip * Ip},
        {ResultSlot::Trapezoid, trapezoid, D * (Ia * Ia + Ia * Ib + Ib * Ib) / 3},
        {ResultSlot::Triangle, D * Ip / 2, D * Ip * Ip / 3},
        {ResultSlot::General, 0, D * (Ia * Ia + Ia * Ib + Ib * Ib) / 3 - trapezoid * trapezoid},
    };
    for (const auto& row : kRows) {
      SCOPED_TRACE(static_cast<int>(row.slot));
      SCOPED_TRACE(p.D);
      ASSERT_TRUE(AverageOf(row.slot, in));
      ASSERT_TRUE(AcPartOf(row.slot, in));
      expectClose(*AverageOf(row.slot, in), row.average, 4);
      const double ac = *AcPartOf(row.slot, in);
      mpq_class acSquare = row.meanSquare - row.average * row.average;
      expectClose(ac * ac, acSquare, 16);
    }
  }
}

TEST(FigureAverages, SineOnesMatchLongDouble) {
  const long double pi = std::acos(-1.0L);
  for (const Operating& p : kPoints) {
    const WaveformInputs in = inputsOf(p);
    const long double D = p.D, Ip = p.Ip;
    const struct {
      ResultSlot slot;
      long double average;
      long double acSquare;
    } kRows[] = {
        {ResultSlot::FullWaveSine, 2 * Ip / pi, Ip * Ip / 2 - 4 * Ip * Ip / (pi * pi)},
        {ResultSlot::PulsedSine, 2 * D * Ip / pi,
         D * Ip * Ip / 2 - 4 * D * D * Ip * Ip / (pi * pi)},
    };
    for (const auto& row : kRows) {
      SCOPED_TRACE(static_cast<int>(row.slot));
      SCOPED_TRACE(p.D);
      const double eps = 4 * std::numeric_limits<double>::epsilon();
      EXPECT_NEAR(*AverageOf(row.slot, in), static_cast<double>(row.average),
                  eps * std::fabs(static_cast<double>(row.average)));
      EXPECT_NEAR(*AcPartOf(row.slot, in), std::sqrt(static_cast<double>(row.acSquare)),
                  eps * std::sqrt(static_cast<double>(row.acSquare)));
    }
  }
}

// Without a waveform there is no average to give.
TEST(FigureAverages, NoneOutsideTheDutyRange) {
  for (float D : {-0.5f, 1.5f, std::numeric_limits<float>::quiet_NaN()}) {
    WaveformInputs in = inputsOf({D, 1, 1, 1});
    EXPECT_FALSE(AverageOf(ResultSlot::Rectangular, in));
    EXPECT_FALSE(AcPartOf(ResultSlot::General, in));
    EXPECT_TRUE(AverageOf(ResultSlot::FullWaveSine, in));
  }
}

}  // namespace
}  // namespace rms
