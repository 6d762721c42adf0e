// SPDX-License-Identifier: MIT
// Bad input never hangs: a press of Calculate with a megabyte of text in every input box
// finishes in well under a second, whatever the text, and still follows the failure
// policy. A conversion that backtracks, copies per character or loops on a long
// exponent would show up here as seconds or minutes.

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <iostream>
#include <random>
#include <string>

#include "runtime/conversions.h"
#include "tests/press_log.h"
#include "window/calculator.h"

namespace rms {
namespace {

constexpr size_t kMegabyte = size_t{1} << 20;
constexpr auto kLimit = std::chrono::milliseconds(1000);

const TextBox kInputs[] = {TextBox::t, TextBox::P, TextBox::Ip, TextBox::Ia, TextBox::Ib};
const TextBox kResults[] = {TextBox::Text6_0, TextBox::Text6_1, TextBox::Text6_3,
                            TextBox::Text6_4, TextBox::Text6_5, TextBox::Text6_6};

std::string junk(size_t n, uint32_t seed) {
  std::mt19937 rng(seed);
  std::string s(n, '\0');
  for (char& c : s) {
    c = static_cast<char>(rng());
  }
  return s;
}

std::string repeat(std::string_view head, char fill, size_t n, std::string_view tail) {
  return std::string(head) + std::string(n, fill) + std::string(tail);
}

struct HugeText {
  const char* name;
  std::string text;
  bool readable;  // whether TextToSingle takes it
  float value;    // what it reads as, when readable
};

class HugeTexts : public testing::TestWithParam<HugeText> {};

TEST_P(HugeTexts, OnePressFinishesQuicklyAndFollowsThePolicy) {
  const HugeText& h = GetParam();
  ASSERT_GE(h.text.size(), kMegabyte);
  Recorder fake;
  Calculator calc(fake);
  for (TextBox b : kInputs) {
    fake.type(b, h.text);
  }

  const auto start = std::chrono::steady_clock::now();
  calc.Command1_Click();
  const auto elapsed = std::chrono::steady_clock::now() - start;
  const auto ms = std::chrono::duration<double, std::milli>(elapsed).count();
  std::cout << "[ timing ] " << h.name << ": " << ms << " ms for one press\n";
  EXPECT_LT(elapsed, kLimit);

  EXPECT_FALSE(calc.ended());
  if (h.readable) {
    EXPECT_EQ(calc.readErrorCount(), 0);
    EXPECT_EQ(calc.inputs().T, h.value);
    // t = T here: no duty limit, and a zero period fails silently.
    EXPECT_TRUE(messagesOf(fake).empty());
  } else {
    EXPECT_EQ(calc.readErrorCount(), 5);
    EXPECT_EQ(calc.inputs().T, 0.0f) << "a rejected box leaves its field as it was";
    ASSERT_FALSE(messagesOf(fake).empty());
    EXPECT_EQ(messagesOf(fake).front(), "Error|16|Please ensure all boxes are filled");
  }
  // A result box never echoes the input: it holds a short number text, "NaN" or nothing.
  for (TextBox b : kResults) {
    EXPECT_LT(fake.text(b).size(), 32u) << boxName(b);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Megabyte, HugeTexts,
    testing::Values(
        // Beyond the single range only after every digit has been weighed.
        HugeText{"Digits", std::string(kMegabyte, '7'), false, 0},
        HugeText{"LeadingZeros", repeat("", '0', kMegabyte, "1.5"), true, 1.5f},
        HugeText{"LongFraction", repeat("0.", '0', kMegabyte, "3"), true, 0.0f},
        HugeText{"FractionDigits", repeat("2.", '9', kMegabyte, ""), true, 3.0f},
        HugeText{"HugeExponent", repeat("1e", '9', kMegabyte, ""), false, 0},
        HugeText{"TinyExponent", repeat("1e-", '9', kMegabyte, ""), true, 0.0f},
        HugeText{"ZeroTimesHugeExponent", repeat("0e", '9', kMegabyte, ""), true, 0.0f},
        HugeText{"Blanks", repeat(" \t", ' ', kMegabyte, "4 "), true, 4.0f},
        HugeText{"TrailingLetter", repeat("", '5', kMegabyte, "x"), false, 0},
        HugeText{"ManyPoints", std::string(kMegabyte, '.'), false, 0},
        HugeText{"ManySigns", std::string(kMegabyte, '-'), false, 0},
        HugeText{"BinaryJunk", junk(kMegabyte, 7), false, 0}),
    [](const auto& info) { return info.param.name; });

// The same in a long session: a hundred presses on a megabyte of junk that alternates
// with good input never slow down and end the program at the eleventh failure.
TEST(HugeTextSession, RepeatedPressesStayFastUntilTheProgramEnds) {
  Recorder fake;
  Calculator calc(fake);
  const std::string bad = junk(kMegabyte, 11);
  int presses = 0;
  const auto start = std::chrono::steady_clock::now();
  while (!calc.ended() && presses < 100) {
    fake.type(TextBox::Ip, presses % 2 == 0 ? std::string_view(bad) : std::string_view("2"));
    calc.Command1_Click();
    ++presses;
  }
  const auto elapsed = std::chrono::steady_clock::now() - start;
  std::cout << "[ timing ] " << presses
            << " presses: " << std::chrono::duration<double, std::milli>(elapsed).count()
            << " ms\n";
  // One failure on every other press: the eleventh comes on press 21.
  EXPECT_EQ(presses, 21);
  EXPECT_TRUE(calc.ended());
  EXPECT_LT(elapsed, presses * kLimit / 10);
}

}  // namespace
}  // namespace rms
