// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "runtime/conversions.h"
#include "tests/press_log.h"
#include "window/calculator.h"

namespace rms {
namespace {

using Log = std::vector<std::string>;

const std::string kFill = "Error|16|Please ensure all boxes are filled";
const std::string kDuty =
    "Warning|64|Duty Cycle cannot be > 100%, t has been reduced to limit D to 100%";

class CalculatorTest : public testing::Test {
 protected:
  void press() { calc.Command1_Click(); }
  void set(TextBox box, std::string_view text) { fake.type(box, text); }
  std::string box(TextBox b) const { return fake.text(b); }
  Log results() const {
    return {box(TextBox::Text6_0), box(TextBox::Text6_1), box(TextBox::Text6_3),
            box(TextBox::Text6_4), box(TextBox::Text6_5), box(TextBox::Text6_6)};
  }

  Recorder fake;
  Calculator calc{fake};
};

TEST_F(CalculatorTest, TheInitialInputsFillAllSixBoxesInOrderWithoutAMessage) {
  EXPECT_EQ(results(), Log(6, ""));
  press();
  EXPECT_EQ(logOf(fake), (Log{"Text6(0)=0.7071067811865475", "Text6(1)=0.5",
                              "Text6(3)=0.7071067811865476", "Text6(4)=0.5400617248673216",
                              "Text6(5)=0.408248290463863", "Text6(6)=0.3886407938787006"}));
  EXPECT_EQ(calc.readErrorCount(), 0);
  EXPECT_EQ(calc.clickErrorCount(), 0);
  EXPECT_EQ(calc.inputs().D, 0.5f);
}

TEST_F(CalculatorTest, ResultsAreExactTextsOfTheDoubles) {
  set(TextBox::t, "0.3");
  press();
  // Shortest round-trip text: reading it back gives the very same double.
  EXPECT_EQ(box(TextBox::Text6_3), "0.5477225683874355");
  EXPECT_EQ(std::stod(box(TextBox::Text6_3)), 0x1.186f17ad02a43p-1);
}

TEST_F(CalculatorTest, AnEmptyBoxWarnsOnceAndReadsAsItsLastGoodValue) {
  set(TextBox::Ia, "");
  press();
  EXPECT_EQ(messagesOf(fake), Log{kFill});
  EXPECT_EQ(calc.inputs().Ia, 0.0f);
  EXPECT_EQ(calc.readErrorCount(), 1);
  // Computed with Ia = 0, Ib = 1: the trapezoid is sqrt(0.5 * 1 / 3).
  EXPECT_EQ(box(TextBox::Text6_4), DoubleToText(std::sqrt((1.0 * 0.5) * (1.0 / 3.0))));

  set(TextBox::Ia, "2");
  press();
  set(TextBox::Ia, "");
  fake.clearRecord();
  press();
  // Told again on every press that rests on a value no longer in the box.
  EXPECT_EQ(messagesOf(fake), Log{kFill});
  EXPECT_EQ(calc.inputs().Ia, 2.0f);
  EXPECT_EQ(calc.readErrorCount(), 2);
}

TEST_F(CalculatorTest, FourBadBoxesBringOneMessageAndFourFailures) {
  for (TextBox b : {TextBox::t, TextBox::Ip, TextBox::Ia, TextBox::Ib}) {
    set(b, "x");
  }
  press();
  EXPECT_EQ(messagesOf(fake), Log{kFill});
  EXPECT_EQ(calc.readErrorCount(), 4);
  EXPECT_EQ(calc.clickErrorCount(), 0) << "read failures stay in their procedure";
}

TEST_F(CalculatorTest, TheMessageComesAtTheFirstBadBoxOfThePress) {
  set(TextBox::Ip, "x");
  set(TextBox::Ib, "y");
  int shown = 0;
  fake.onMessage = [&](const Recorder&) {
    ++shown;
    EXPECT_EQ(calc.inputs().T, 1.0f) << "P is read before Ip";
    EXPECT_EQ(calc.inputs().Ia, 0.0f) << "Ia is read after Ip";
    EXPECT_EQ(calc.readErrorCount(), 1);
  };
  press();
  EXPECT_EQ(shown, 1);
}

TEST_F(CalculatorTest, ANumberBeyondTheSingleRangeIsRejectedAndTold) {
  press();
  set(TextBox::Ip, "1e39");
  fake.clearRecord();
  press();
  EXPECT_EQ(messagesOf(fake), Log{kFill});
  EXPECT_EQ(calc.inputs().Ip, 1.0f);
  EXPECT_EQ(calc.readErrorCount(), 1);
}

TEST_F(CalculatorTest, ElevenReadFailuresEndTheProgramAfterSayingWhy) {
  for (TextBox b : {TextBox::t, TextBox::Ip, TextBox::Ia, TextBox::Ib}) {
    set(b, "");
  }
  press();
  press();
  EXPECT_EQ(calc.readErrorCount(), 8);
  EXPECT_FALSE(fake.ended());
  fake.clearRecord();
  press();
  // Ninth and tenth failures at t and Ip, the eleventh at Ia; Ib is never read and no
  // result is written.
  EXPECT_EQ(logOf(fake), (Log{"message:" + kFill, "message:End|16|Error Not a number", "end"}));
  EXPECT_EQ(calc.readErrorCount(), 11);
  EXPECT_TRUE(calc.ended());
  fake.clearRecord();
  press();
  EXPECT_TRUE(logOf(fake).empty()) << "nothing runs once the program has ended";
}

TEST_F(CalculatorTest, TGreaterThanTIsLimitedWithAWarningAfterTheBoxShowsThePeriod) {
  set(TextBox::t, "2");
  set(TextBox::Ia, "1");
  std::string tWhenWarned;
  fake.onMessage = [&](const Recorder& f) { tWhenWarned = f.text(TextBox::t); };
  press();
  EXPECT_EQ(messagesOf(fake), Log{kDuty});
  EXPECT_EQ(tWhenWarned, "1");
  EXPECT_EQ(calc.inputs().D, 1.0f);
  const Log limited = results();

  Recorder plain;
  plain.type(TextBox::t, "1");
  plain.type(TextBox::Ia, "1");
  Calculator reference(plain);
  reference.Command1_Click();
  EXPECT_TRUE(messagesOf(plain).empty()) << "t equal to T shows no warning";
  EXPECT_EQ(limited, (Log{plain.text(TextBox::Text6_0), plain.text(TextBox::Text6_1),
                          plain.text(TextBox::Text6_3), plain.text(TextBox::Text6_4),
                          plain.text(TextBox::Text6_5), plain.text(TextBox::Text6_6)}));
  EXPECT_EQ(limited[5], "0") << "at Ia = Ib and D = 1 the bracket is exactly zero";
}

TEST_F(CalculatorTest, ThePeriodWrittenIntoTIsReadBackNextTime) {
  set(TextBox::t, "5");
  set(TextBox::P, "0.3");
  press();
  EXPECT_EQ(box(TextBox::t), "0.3");
  fake.clearRecord();
  press();
  EXPECT_TRUE(messagesOf(fake).empty());
  EXPECT_EQ(calc.inputs().t, 0.3f);
}

TEST_F(CalculatorTest, AZeroPeriodFailsTwiceSilentlyAndLeavesNaN) {
  set(TextBox::P, "0");
  press();
  EXPECT_EQ(messagesOf(fake), Log{kDuty});
  EXPECT_EQ(box(TextBox::t), "0");
  EXPECT_EQ(calc.clickErrorCount(), 2);
  EXPECT_EQ(results(), (Log{"0.7071067811865475", "NaN", "NaN", "NaN", "NaN", "NaN"}));
}

TEST_F(CalculatorTest, ZeroOverZeroIsOneFailureWithoutTheLimit) {
  set(TextBox::t, "0");
  set(TextBox::P, "0");
  press();
  EXPECT_TRUE(messagesOf(fake).empty());
  EXPECT_EQ(calc.clickErrorCount(), 1);
  EXPECT_EQ(results(), (Log{"0.7071067811865475", "NaN", "NaN", "NaN", "NaN", "NaN"}));
}

TEST_F(CalculatorTest, AQuotientBeyondTheSingleRangeIsLimited) {
  set(TextBox::t, "1e38");
  set(TextBox::P, "1e-38");
  press();
  EXPECT_EQ(messagesOf(fake), Log{kDuty});
  EXPECT_EQ(calc.clickErrorCount(), 1);
  EXPECT_EQ(calc.inputs().D, 1.0f);
  EXPECT_EQ(box(TextBox::t), "1e-38");
}

TEST_F(CalculatorTest, ANegativeDutyCycleEmptiesTheSlotsThatFail) {
  press();
  set(TextBox::t, "-0.5");
  fake.clearRecord();
  press();
  EXPECT_EQ(calc.clickErrorCount(), 5);
  EXPECT_TRUE(messagesOf(fake).empty()) << "failures one to ten are silent";
  // No box goes on showing the result of the earlier inputs.
  EXPECT_EQ(results(), (Log{"0.7071067811865475", "", "", "", "", ""}));
}

TEST_F(CalculatorTest, TheEleventhClickFailureEndsTheProgramAfterSayingWhy) {
  set(TextBox::t, "-1");
  press();
  press();
  EXPECT_EQ(calc.clickErrorCount(), 10);
  fake.clearRecord();
  press();
  EXPECT_EQ(logOf(fake), (Log{"Text6(0)=0.7071067811865475",
                              "message:End|16|Error Square root of a negative number", "end"}));
  EXPECT_TRUE(calc.ended());
  EXPECT_EQ(calc.readErrorCount(), 0);
}

// What the batch and the page read of a press beside its steps: the failures in the order
// counted, each with its statement and box, and the inputs as the press left them.
TEST(PressRecordTest, HoldsTheFailuresAndTheInputsThePressUsed) {
  using enum PressStatement;
  struct Case {
    const char* what;
    std::array<const char*, 5> texts;  // t, T, Ip, Ia, Ib
    std::vector<std::pair<PressStatement, TextBox>> failures;
    ErrorNumber number;  // of every failure
    bool limited;
    float t;
  };
  const Case cases[] = {
      {"unreadable",
       {"0.5", "1", "x", ".5", "1"},
       {{ReadBox, TextBox::Ip}},
       ErrorNumber::NotANumber,
       false,
       0.5f},
      {"limited", {"2", "1", "1", ".5", "1"}, {}, ErrorNumber::NotANumber, true, 1.0f},
      {"negative duty",
       {"-1", "1", "1", ".5", "1"},
       {{ComputeResult, TextBox::Text6_1},
        {ComputeResult, TextBox::Text6_3},
        {ComputeResult, TextBox::Text6_4},
        {ComputeResult, TextBox::Text6_5},
        {ComputeResult, TextBox::Text6_6}},
       ErrorNumber::SqrtOfNegative,
       false,
       -1.0f},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Recorder recorder;
    for (size_t i = 0; i < kInputBoxes.size(); ++i) {
      recorder.type(kInputBoxes[i].box, c.texts[i]);
    }
    Calculator calc(recorder, '.', &recorder);
    const PressRecord& record = recorder.press(calc);
    std::vector<std::pair<PressStatement, TextBox>> failures;
    for (const CountedFailure& f : record.failures) {
      failures.emplace_back(f.statement, f.box);
      EXPECT_EQ(f.number, c.number);
    }
    EXPECT_EQ(failures, c.failures);
    EXPECT_EQ(record.limited(), c.limited);
    EXPECT_EQ(record.inputs.t, c.t);
    EXPECT_EQ(record.inputs.D, c.t / 1.0f) << "every case has T = 1";
  }
}

// A press that arrives while a message box of another press is up (an accessibility
// action on the button, say) is ignored whole: the session, and the ordinary press after
// it, log and count exactly what they do without it, and the record is not torn.
TEST(NestedPressTest, APressWhileAMessageIsUpChangesNothing) {
  struct Case {
    const char* what;
    TextBox box;
    const char* text;
    int presses;  // the last one shows the message
  };
  for (const Case& c :
       {Case{"duty warning", TextBox::t, "2", 1}, Case{"boxes not filled", TextBox::Ib, "", 1},
        Case{"end", TextBox::t, "-1", 3}}) {
    SCOPED_TRACE(c.what);
    std::vector<Log> sessions;
    for (bool pressInside : {false, true}) {
      Recorder fake;
      Calculator calc(fake);
      fake.type(c.box, c.text);
      fake.onMessage = [&](const Recorder&) {
        if (std::exchange(pressInside, false)) {
          fake.type(TextBox::t, "-5");
          fake.press(calc);
        }
      };
      Log& log = sessions.emplace_back();
      const auto record = [&] {
        const Log lines = logOf(fake);
        log.insert(log.end(), lines.begin(), lines.end());
        log.push_back(std::to_string(calc.readErrorCount()) + " read failures, " +
                      std::to_string(calc.clickErrorCount()) + " click failures");
        fake.clearRecord();
      };
      for (int i = 0; i < c.presses; ++i) {
        fake.press(calc);
      }
      record();
      fake.type(TextBox::t, "-5");  // and an ordinary press after it
      fake.press(calc);
      record();
      EXPECT_FALSE(pressInside) << "no message box to press from";
    }
    EXPECT_EQ(sessions[1], sessions[0]);
  }
}

TEST_F(CalculatorTest, TypedResultTextsAreReplacedOnTheNextPress) {
  set(TextBox::Text6_4, "typed");
  press();
  EXPECT_EQ(box(TextBox::Text6_4), "0.5400617248673216");
}

// On a desktop that writes a decimal comma: a comma and a point read alike, and t and the
// results are written with a comma. Both separators at once are not a number.
TEST(DecimalCommaCalculatorTest, ReadsBothSeparatorsAndWritesTheComma) {
  Recorder fake;
  Calculator calc(fake, ',');
  fake.type(TextBox::t, "0,5");  // Ia keeps its ".5"
  calc.Command1_Click();
  EXPECT_EQ(logOf(fake), (Log{"Text6(0)=0,7071067811865475", "Text6(1)=0,5",
                              "Text6(3)=0,7071067811865476", "Text6(4)=0,5400617248673216",
                              "Text6(5)=0,408248290463863", "Text6(6)=0,3886407938787006"}));

  fake.type(TextBox::t, "5");
  fake.type(TextBox::P, "0,3");
  fake.type(TextBox::Ip, "1.234,5");
  fake.clearRecord();
  calc.Command1_Click();
  EXPECT_EQ(messagesOf(fake), (Log{kFill, kDuty}));
  EXPECT_EQ(calc.inputs().Ip, 1.0f);
  EXPECT_EQ(fake.text(TextBox::t), "0,3");
}

}  // namespace
}  // namespace rms
