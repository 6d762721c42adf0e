// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "app/command_line.h"
#include "batch/batch.h"
#include "runtime/conversions.h"
#include "runtime/fake_services.h"
#include "window/calculator.h"

namespace rms {
namespace {

const std::string kHeader = std::string(kBatchHeader) + "\n";
const std::string kDefaults =
    "0.5,1,1,0.5,1,0.5,no,0.7071067811865475,0.5,0.7071067811865476,0.5400617248673216,"
    "0.408248290463863,0.3886407938787006,";
const std::string kAtDutyOne =
    "1,no,0.7071067811865475,0.7071067811865476,1,1,0.5773502691896257,0,";  // D onwards
const std::string kNotComputed = ",,,,,,,,";  // D, limited and the six results

struct BatchRun {
  int status;
  std::string out;
  std::string err;
};

BatchRun runBatch(const std::string& input) {
  std::istringstream in(input);
  std::ostringstream out;
  std::ostringstream err;
  const int status = RunBatch(in, "standard input", out, err);
  return {status, out.str(), err.str()};
}

struct RowCase {
  const char* name;
  std::string line;
  std::string row;  // without its '\n'
};

// One input line each; a row with an error makes the run's status 1.
const RowCase kRows[] = {
    {"blanks", "0.5 1 1 .5 1", kDefaults},
    {"commas and blanks", " 0.5, 1 ,1,\t.5 , 1 ", kDefaults},
    {"semicolons", "0.5;1;1;.5;1", kDefaults},
    {"tabs and a CR line end", "0.5\t1\t1\t.5\t1\r", kDefaults},
    {"D of exactly one is not limited", "1 1 1 1 1", "1,1,1,1,1," + kAtDutyOne},
    {"t beyond T is cut back to T", "2,1,1,1,1",
     "1,1,1,1,1,1,yes,0.7071067811865475,0.7071067811865476,1,1,0.5773502691896257,0,"},
    {"a quotient beyond the single range is limited, not an error", "1e38 1e-38 1 1 1",
     "1e-38,1e-38,1,1,1,1,yes,0.7071067811865475,0.7071067811865476,1,1,0.5773502691896257,0,"},
    {"negative duty cycle", "-0.5;1;1;1;1",
     "-0.5,1,1,1,1,-0.5,no,0.7071067811865475,,,,,,pulsed_sinusoidal: square root of a negative "
     "number; rectangular: square root of a negative number; trapezoid: square root of a "
     "negative number; triangle: square root of a negative number; general_ac_coupled: square "
     "root of a negative number"},
    {"a negative quotient beyond the single range", "-1e38 1e-38 1 0 0",
     "-1e+38,1e-38,1,0,0,-Infinity,no,0.7071067811865475,,,,,,D: too large; pulsed_sinusoidal: "
     "square root of a negative number; rectangular: square root of a negative number; "
     "trapezoid: undefined result; triangle: square root of a negative number; "
     "general_ac_coupled: undefined result"},
    {"zero period", "1 0 1 1 1", "1,0,1,1,1," + kNotComputed + "T: period is zero"},
    {"negative zero period", "0 -0 1 1 1", "0,0,1,1,1," + kNotComputed + "T: period is zero"},
    {"unreadable fields", "x 1 1 1e99 1",
     ",1,1,,1," + kNotComputed + "t: not a number; Ia: too large"},
    {"an empty field between commas", "1,,1,1,1", "1,,1,1,1," + kNotComputed + "T: not a number"},
    {"too few numbers", "1 2 3", ",,,,,,,,,,,,,\"expected 5 numbers, found 3\""},
    {"too many numbers", "1;2;3;4;5;6", ",,,,,,,,,,,,,\"expected 5 numbers, found 6\""},
    {"a trailing comma adds an empty field", "1,2,3,4,5,",
     ",,,,,,,,,,,,,\"expected 5 numbers, found 6\""},
};

TEST(BatchRows, EachLineGivesItsExactRow) {
  for (const RowCase& c : kRows) {
    const BatchRun run = runBatch(c.line + "\n");
    EXPECT_EQ(run.out, kHeader + c.row + "\n") << c.name;
    EXPECT_EQ(run.status, c.row.ends_with(',') ? kBatchComplete : kBatchRowErrors) << c.name;
    EXPECT_EQ(run.err, "") << c.name;
  }
}

TEST(BatchInput, SkipsBlankLinesCommentsAndOnlyAFirstLineWithoutANumber) {
  const BatchRun run =
      runBatch("\n t T Ip Ia Ib\n\t\n# a note\n  # another\n0.5 1 1 .5 1\nIp Ia\n1 1 1 1 1");
  EXPECT_EQ(run.out, kHeader + kDefaults + "\n" + ",,,,,,,,,,,,,\"expected 5 numbers, found 2\"\n" +
                         "1,1,1,1,1," + kAtDutyOne + "\n");
  EXPECT_EQ(run.status, kBatchRowErrors);
  EXPECT_EQ(runBatch("").out, kHeader);
  EXPECT_EQ(runBatch("1e99 x\n").out, kHeader + ",,,,,,,,,,,,,\"expected 5 numbers, found 2\"\n")
      << "a number too large for a single is still a number: not a header";
}

TEST(BatchInput, ALineLongerThanOneMebibyteIsAnErrorRowAndTheRunGoesOn) {
  std::string longest = "0.5 1 1 .5 1";
  longest.resize(kMaxLineLength, ' ');
  const BatchRun run = runBatch(longest + "\r\n" + longest + " \n" +
                                std::string(5 * kMaxLineLength, '1') + "\n1 1 1 1 1\n");
  EXPECT_EQ(run.out, kHeader + kDefaults + "\n" + ",,,,,,,,,,,,,line longer than 1 MiB\n" +
                         ",,,,,,,,,,,,,line longer than 1 MiB\n" + "1,1,1,1,1," + kAtDutyOne +
                         "\n");
  EXPECT_EQ(run.status, kBatchRowErrors);
}

TEST(BatchFiles, AnInputOrOutputThatFailsGivesTwo) {
  EXPECT_EQ(RunBatchFile("/nonexistent/points.txt"), kBatchFailed);
  EXPECT_EQ(RunBatchFile("/"), kBatchFailed);  // a folder opens, but cannot be read

  std::istringstream points("0.5 1 1 .5 1\n");
  std::ostringstream broken;
  broken.setstate(std::ios::badbit);
  std::ostringstream err;
  EXPECT_EQ(RunBatch(points, "standard input", broken, err), kBatchFailed);
  EXPECT_TRUE(err.str().starts_with("korvath-rms: cannot write the output: ")) << err.str();
}

std::vector<std::string> columns(const std::string& row) {
  std::vector<std::string> result(1);
  for (char c : row) {
    if (c == ',') {
      result.emplace_back();
    } else if (c != '\n') {
      result.back() += c;
    }
  }
  return result;
}

// A number text of the kinds people type: signs, leading dots, exponents, zeros, and now
// and then one that does not read.
std::string randomText(std::mt19937& random) {
  const int kind = std::uniform_int_distribution(0, 19)(random);
  if (kind == 0) {
    return "0";
  }
  if (kind == 1) {
    return std::uniform_int_distribution(0, 1)(random) ? "x" : "1e40";
  }
  std::string text = kind < 5 ? "-" : "";
  text += std::to_string(std::uniform_int_distribution(0, 99999)(random));
  const size_t decimals = std::uniform_int_distribution<size_t>(0, 3)(random);
  text.insert(text.size() - std::min(decimals, text.size() - text.starts_with('-')), ".");
  if (kind > 15) {
    text += "e" + std::to_string(std::uniform_int_distribution(-40, 38)(random));
  }
  return text;
}

TEST(BatchAndWindow, GiveTheSameTextsAsAFreshWindowAfterOnePress) {
  const std::string kDuty =
      "Warning|64|Duty Cycle cannot be > 100%, t has been reduced to limit D to 100%";
  std::mt19937 random(20261208);
  int compared = 0;
  int limited = 0;
  int emptySlots = 0;
  for (int i = 0; i < 400; ++i) {
    std::array<std::string, 5> texts;
    for (std::string& text : texts) {
      text = randomText(random);
    }
    std::string row;
    AppendBatchRow(texts[0] + "," + texts[1] + "," + texts[2] + "," + texts[3] + "," + texts[4],
                   row);
    const std::vector<std::string> batch = columns(row);
    ASSERT_EQ(batch.size(), 14u) << row;
    if (batch[5].empty()) {
      continue;  // a field that does not read, or T = 0: the window goes its own way
    }

    FakeServices fake;
    const TextBox boxes[] = {TextBox::t, TextBox::P, TextBox::Ip, TextBox::Ia, TextBox::Ib};
    for (size_t b = 0; b < 5; ++b) {
      fake.type(boxes[b], texts[b]);
    }
    Calculator calculator(fake);
    calculator.Command1_Click();
    const bool warned = fake.messages() == std::vector<std::string>{kDuty};
    const std::pair<size_t, std::string> expected[] = {
        {0, SingleToText(calculator.inputs().t)},
        {5, SingleToText(calculator.inputs().D)},
        {6, warned ? "yes" : "no"},
        {7, fake.text(TextBox::Text6_0)},
        {8, fake.text(TextBox::Text6_1)},
        {9, fake.text(TextBox::Text6_3)},
        {10, fake.text(TextBox::Text6_4)},
        {11, fake.text(TextBox::Text6_5)},
        {12, fake.text(TextBox::Text6_6)},
    };
    for (const auto& [column, text] : expected) {
      EXPECT_EQ(batch[column], text) << "column " << column << " of " << row;
    }
    if (warned) {
      EXPECT_EQ(batch[0], fake.text(TextBox::t)) << "t as written back into its box";
    }
    ++compared;
    limited += warned;
    for (size_t c = 7; c < 13; ++c) {
      emptySlots += batch[c].empty();
    }
  }
  // The inputs reach the limit and the failing slots often enough to mean something.
  EXPECT_GT(compared, 150);
  EXPECT_GT(limited, 30);
  EXPECT_GT(emptySlots, 30);
}

struct ArgumentCase {
  std::vector<const char*> arguments;  // after the program's name
  std::vector<std::string> own;
};

TEST(CommandLine, TheWindowEngineOptionsAreLeftToTheWindow) {
  const ArgumentCase cases[] = {
      {{}, {}},
      {{"-platform", "offscreen"}, {}},
      {{"--platform", "xcb", "-style=fusion", "-reverse", "-qwindowtitle", "--batch"}, {}},
      {{"-platform", "offscreen", "--version"}, {"--version"}},
      {{"--batch", "points.csv", "-widgetcount"}, {"--batch", "points.csv"}},
      {{"-reverse=1", "-platform"}, {"-reverse=1", "-platform"}},
      {{"-", "--bogus"}, {"-", "--bogus"}},
      {{"-psn_0_1234567"}, {}},
  };
  for (const ArgumentCase& c : cases) {
    std::vector<char*> argv{const_cast<char*>("korvath-rms")};
    for (const char* a : c.arguments) {
      argv.push_back(const_cast<char*>(a));
    }
    const std::vector<char*> own = ownArguments(argv);
    EXPECT_EQ(std::vector<std::string>(own.begin(), own.end()), c.own) << c.arguments.size();
    EXPECT_EQ(wantsCommandLine(argv), !c.own.empty());
  }
}

}  // namespace
}  // namespace rms
