// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "app/command_line.h"
#include "batch/batch.h"
#include "batch/messages.h"
#include "runtime/conversions.h"
#include "runtime/qt/engine_options.h"
#include "tests/press_log.h"
#include "window/calculator.h"

namespace rms {
namespace {

const std::string kHeader = std::string(kBatchHeader) + "\n";
const std::string kDefaults =
    "0.5,1,1,0.5,1,0.5,no,0.7071067811865475,0.5,0.7071067811865476,0.5400617248673216,"
    "0.408248290463863,0.3886407938787006,";
const std::string kAtDutyOne =
    "1,no,0.7071067811865475,0.7071067811865476,1,1,0.5773502691896257,0,";  // D onwards

struct BatchRun {
  int status;
  std::string out;
  std::string err;
};

BatchRun runBatch(const std::string& input, size_t piece = 64 * 1024) {
  TextSource in(input, piece);
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

const std::string kNaNs = "NaN,NaN,NaN,NaN,NaN,";
std::string errorRow(const std::string& why) {
  return ",,,,,,,,,,,,," + why;
}

// One input line each, its separator taken from it; a row with an error makes the run's
// status 1. Rows are the window's press: a failed read leaves its field at 0, and every
// failure the press counts is named.
const RowCase kRows[] = {
    {"blanks", "0.5 1 1 .5 1", kDefaults},
    {"commas and blanks", " 0.5, 1 ,1, .5 , 1 ", kDefaults},
    {"semicolons", "0.5;1;1;.5;1", kDefaults},
    {"tabs and a CR line end", "0.5\t1\t1\t.5\t1\r", kDefaults},
    {"CR CR LF", "0.5 1 1 .5 1\r\r", kDefaults},
    {"a byte-order mark",
     "\xEF\xBB\xBF"
     "0.5 1 1 .5 1",
     kDefaults},
    {"a German export: decimal commas, semicolons", "0,5;1;1;0,5;1", kDefaults},
    {"decimal commas between tabs", "0,5\t1\t1\t,5\t1", kDefaults},
    {"quoted fields", "\"0.5\",\"1\", \"1\" ,\".5\",\"1\"", kDefaults},
    {"quoted fields between blanks", "\"0.5\" \"1\"  \"1\" \".5\" \"1\"", kDefaults},
    {"quoted and bare fields between blanks", "\"0.5\" 1 \"1\" .5 \"1\"", kDefaults},
    {"quoted fields between tabs", "\"0.5\"\t\"1\"\t\"1\"\t\".5\"\t\"1\"", kDefaults},
    {"a semicolon file starting with a quote", "\"0,5\";1;1;0,5;1", kDefaults},
    {"one trailing separator", "0.5,1,1,.5,1,", kDefaults},
    {"D of exactly one is not limited", "1 1 1 1 1", "1,1,1,1,1," + kAtDutyOne},
    {"t beyond T is cut back to T", "2,1,1,1,1",
     "1,1,1,1,1,1,yes,0.7071067811865475,0.7071067811865476,1,1,0.5773502691896257,0,"},
    {"a quotient beyond the single range is limited, its failure counted", "1e38 1e-38 1 1 1",
     "1e-38,1e-38,1,1,1,1,yes,0.7071067811865475,0.7071067811865476,1,1,0.5773502691896257,0,"
     "D: too large"},
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
    {"zero period: the two failed divisions beside the window's NaN", "1 0 1 1 1",
     "0,0,1,1,1,NaN,yes,0.7071067811865475," + kNaNs + "D: division by zero; D: undefined result"},
    {"zero over negative zero", "0 -0 1 1 1",
     "0,0,1,1,1,NaN,no,0.7071067811865475," + kNaNs + "D: undefined result"},
    {"unreadable fields read as the fresh window's zeros", "x 1 1 1e99 1",
     ",1,1,,1,0,no,0.7071067811865475,0,0,0,0,0,t: not a number; Ia: too large"},
    {"an empty field between commas", "1,,1,1,1",
     "0,,1,1,1,NaN,yes,0.7071067811865475," + kNaNs +
         "T: not a number; D: division by zero; D: undefined result"},
    {"too few numbers", "1 2 3", errorRow("\"expected 5 numbers, found 3\"")},
    {"too many numbers", "1;2;3;4;5;6", errorRow("\"expected 5 numbers, found 6\"")},
    {"two trailing separators", "1,2,3,4,5,,", errorRow("\"expected 5 numbers, found 7\"")},
    {"a sixth field written as \"\"", "1,1,1,1,1,\"\"",
     errorRow("\"expected 5 numbers, found 6\"")},
    {"a sixth \"\" between semicolons", "1;1;1;1;1;\"\"",
     errorRow("\"expected 5 numbers, found 6\"")},
    {"a sixth \"\" between tabs", "1\t1\t1\t1\t1\t\"\"",
     errorRow("\"expected 5 numbers, found 6\"")},
    {"a sixth \"\" between blanks", "1 1 1 1 1 \"\"", errorRow("\"expected 5 numbers, found 6\"")},
    // The audit: each of these was once read as other numbers, or dropped as a header.
    {"0,5;1;2;1 is four numbers", "0,5;1;2;1", errorRow("\"expected 5 numbers, found 4\"")},
    {"0,5;1,5;2 is three numbers", "0,5;1,5;2", errorRow("\"expected 5 numbers, found 3\"")},
    {"2,500 10 3 1 is separated by its comma", "2,500 10 3 1",
     errorRow("\"expected 5 numbers, found 2\"")},
    {"no-break spaces do not separate",
     "0.5\xC2\xA0"
     "1\xC2\xA0"
     "1\xC2\xA0.5\xC2\xA0"
     "1",
     errorRow("\"expected 5 numbers, found 1\"")},
    {"UTF-16",
     std::string("\xFF\xFE"
                 "0\0.\0"
                 "5\0",
                 8),
     errorRow("a NUL byte: not UTF-8 text (UTF-16?)")},
    {"an unclosed quote", "\"0.5,1,1,.5,1", errorRow("a quoted field without its closing quote")},
    {"text after a quote", "\"0.5\"0,1,1,.5,1", errorRow("text after a closing quote")},
    {"text after a quote between blanks", "\"0.5\"x 1 1 .5 1",
     errorRow("text after a closing quote")},
};

TEST(BatchRows, EachLineGivesItsExactRow) {
  for (const RowCase& c : kRows) {
    // Whole, and a byte at a time as a slow pipe delivers it.
    for (size_t piece : {size_t{1} << 16, size_t{1}}) {
      const BatchRun run = runBatch(c.line + "\n", piece);
      EXPECT_EQ(run.out, kHeader + c.row + "\n") << c.name;
      EXPECT_EQ(run.status, c.row.ends_with(',') ? kBatchComplete : kBatchRowErrors) << c.name;
      EXPECT_EQ(run.err, "") << c.name;
    }
  }
}

// Whole files, whole and a byte at a time. The first line decides the separator; a later
// row with another is an error row. A line ends in LF, CR LF or CR, but not inside quotes.
TEST(BatchRows, AFileHasOneSeparatorAndItsLineEnds) {
  const std::string kQuarter =
      "0.3,1,2,0.5,1.5,0.3,no,1.414213562373095,0.7745966846313364,1.095445136774871,"
      "0.570087723876194,0.6324555445994382,0.48476799168445744,";
  const std::pair<std::string, std::vector<std::string>> kFiles[] = {
      {"0,5;1;1;0,5;1\n0.5\t1\t1\t.5\t1\n0.5,1,1,.5,1\n",
       {kDefaults, errorRow("a tab in a file separated by semicolons"),
        errorRow("\"expected 5 numbers, found 1\"")}},
      {"0.5,1,1,.5,1\n0.5;1;1;.5;1\n\"1;2\",1,1,1,1\n",
       {kDefaults, errorRow("a semicolon in a file separated by commas"),
        ",1,1,1,1,0,no,0.7071067811865475,0,0,0,0,0,t: not a number"}},
      {"t T Ip Ia Ib\n0.5 1 1 .5 1\n2,500 10 3 1 1\n",
       {kDefaults, errorRow("a comma in a file separated by blanks")}},
      {"t\tT\tIp\tIa\tIb\n0,5\t1\t1\t0,5\t1\t\n0.5;1\t1\t.5\t1\n",
       {kDefaults, errorRow("a semicolon in a file separated by tabs")}},
      {"\"0.5\" \"1\" \"1\" \".5\" \"1\"\n\"0.5\", \"1\" \"1\" \".5\" \"1\"\n",
       {kDefaults, errorRow("a comma in a file separated by blanks")}},
      // An inch mark in a header is a letter, not the start of a quoted field.
      {"Ip\";t;T;Ia;Ib\n0,3;1;2;0,5;1,5\n", {kQuarter}},
      {"# a 2\" pipe\n0.5 1 1 .5 1\n", {kDefaults}},
      // "CSV (Macintosh)" ends its lines with CR alone.
      {"t,T,Ip,Ia,Ib\r0.5,1,1,.5,1\r1,1,1,1,1\r", {kDefaults, "1,1,1,1,1," + kAtDutyOne}},
      {"0.5 1 1 .5 1\r\r\n\r\n1 1 1 1 1", {kDefaults, "1,1,1,1,1," + kAtDutyOne}},
      // A quoted line break keeps its record whole: a header, or one error row.
      {"\"t\r\n[s]\",T,Ip,Ia,Ib\r\n0.5,1,1,.5,1\r\n", {kDefaults}},
      {"0.5,\"1\n\",1,.5,1\n1,1,1,1,1\n",
       {errorRow("a line break in a quoted field"), "1,1,1,1,1," + kAtDutyOne}},
      {"0.5 1 1 .5 1\n\"a\"\"\r\" 1 1 1 1\n",
       {kDefaults, errorRow("a line break in a quoted field")}},
      {"0.5 1 1 .5 1\n\"1 1 1 1 1\n1 1 1 1 1\n",
       {kDefaults, errorRow("a quoted field without its closing quote")}},
      // Quotes with only blanks and tabs before them, in a file separated by tabs: each once
      // read a byte past what the record held before the quote.
      {"t\tT\tIp\tIa\tIb\n\t\"0.5\"\t1\t1\t.5\t1\n\t\t\"0.5\"\t1\t1\t.5\t1\n \t "
       "\"0.5\"\t1\t1\t.5\t1\n"
       "1\t\"\"\t1\t1\t1\n\t\"\n",
       {errorRow("\"expected 5 numbers, found 6\""), errorRow("\"expected 5 numbers, found 7\""),
        errorRow("\"expected 5 numbers, found 6\""),
        "0,,1,1,1,NaN,yes,0.7071067811865475," + kNaNs +
            "T: not a number; D: division by zero; D: undefined result",
        errorRow("a quoted field without its closing quote")}},
      {"0.5 1 1 .5 1\n\t \t\"0.5\" 1 1 .5 1\n", {kDefaults, kDefaults}},
      // One row, not two: the quote after the tabs opened a field, and the line end is its.
      {"t\tT\tIp\tIa\tIb\n\t \"1\n\"\t1\t1\t1\t1\n1\t1\t1\t1\t1\n",
       {errorRow("a line break in a quoted field"), "1,1,1,1,1," + kAtDutyOne}},
  };
  for (const auto& [input, rows] : kFiles) {
    std::string expected = kHeader;
    for (const std::string& row : rows) {
      expected += row + "\n";
    }
    EXPECT_EQ(runBatch(input).out, expected) << input;
    EXPECT_EQ(runBatch(input, 1).out, expected) << input;
  }
}

// A point written to a pipe gets its row before the batch waits for the next one; nothing,
// not even the header, goes out before the first read.
TEST(BatchInput, RowsGoOutBeforeTheNextRead) {
  struct Pipe : ByteSource {
    std::ostringstream* out = nullptr;
    std::vector<std::string> seenAtRead;
    std::vector<std::string> points{"0.5 1 1 .5 1\n", "1 1 1 1 1\n"};
    long readSome(char* buffer, size_t) override {
      seenAtRead.push_back(out->str());
      if (seenAtRead.size() > points.size()) {
        return 0;
      }
      const std::string& point = points[seenAtRead.size() - 1];
      point.copy(buffer, point.size());
      return static_cast<long>(point.size());
    }
  } pipe;
  std::ostringstream out;
  std::ostringstream err;
  pipe.out = &out;
  EXPECT_EQ(RunBatch(pipe, "standard input", out, err), kBatchComplete);
  EXPECT_EQ(pipe.seenAtRead,
            (std::vector<std::string>{"", kHeader + kDefaults + "\n",
                                      kHeader + kDefaults + "\n1,1,1,1,1," + kAtDutyOne + "\n"}));
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
  EXPECT_EQ(runBatch("\"0.5\",\"1\",\"1\",\"0.5\",\"1\"\n").out, kHeader + kDefaults + "\n")
      << "quoted numbers are numbers";
  EXPECT_EQ(runBatch("\xEF\xBB\xBF# note\n\"t [s]\";T1;Ip;Ia;Ib\n0,5;1;1;0,5;1\n").out,
            kHeader + kDefaults + "\n")
      << "a header's words may hold digits, but not begin with them";
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

// Blank lines and comments are skipped whatever their length, and a header may follow.
TEST(BatchInput, ALongCommentOrBlankLineIsSkipped) {
  const std::string kBlanks(2 * kMaxLineLength, ' ');
  struct LongCase {
    std::string input;
    std::string rows;
    int status;
  };
  const LongCase kInputs[] = {
      {std::string(2000000, '#') + "\nt T Ip Ia Ib\n1 1 1 1 1\n", "1,1,1,1,1," + kAtDutyOne,
       kBatchComplete},
      {kBlanks + "\t\r" + kBlanks + "# note\nt T Ip Ia Ib\n1 1 1 1 1\n", "1,1,1,1,1," + kAtDutyOne,
       kBatchComplete},
      {kBlanks + "1 1 1 1 1\n", errorRow("line longer than 1 MiB"), kBatchRowErrors},
      // Past the limit, an unclosed quote no longer holds the line ends after it.
      {"\"" + kBlanks + "\n1 1 1 1 1\n",
       errorRow("line longer than 1 MiB") + "\n1,1,1,1,1," + kAtDutyOne, kBatchRowErrors},
  };
  for (const LongCase& c : kInputs) {
    const BatchRun run = runBatch(c.input, 4096);
    EXPECT_EQ(run.out, kHeader + c.rows + "\n") << c.input.substr(c.input.size() - 20);
    EXPECT_EQ(run.status, c.status) << c.input.substr(c.input.size() - 20);
  }
}

TEST(BatchFiles, AnInputOrOutputThatFailsGivesTwo) {
  EXPECT_EQ(RunBatchFile("/nonexistent/points.txt"), kBatchFailed);
  EXPECT_EQ(RunBatchFile("/"), kBatchFailed);  // a folder opens, but cannot be read

  TextSource points("0.5 1 1 .5 1\n");
  std::ostringstream broken;
  broken.setstate(std::ios::badbit);
  std::ostringstream err;
  EXPECT_EQ(RunBatch(points, "standard input", broken, err), kBatchFailed);
  EXPECT_TRUE(err.str().starts_with("korvath-rms: cannot write the output: ")) << err.str();
}

std::string repeated(std::string_view text, int times) {
  std::string result;
  for (int i = 0; i < times; ++i) {
    result += text;
  }
  return result;
}

// A file name in a message is whole up to 4,096 bytes; a longer one keeps its beginning
// and its end (the file's own name), each cut between UTF-8 characters.
TEST(BatchFiles, MessagesNameAFileWholeOrByItsBeginningAndEnd) {
  const std::string kName = "/Messung \xCE\xA9.csv";
  struct NameCase {
    const char* name;
    std::string path;
    bool whole;
  };
  const NameCase cases[] = {
      {"a short name", "points.csv", true},
      {"a long folder", std::string(4096 - kName.size(), 'd') + kName, true},
      {"one byte too long", std::string(4097 - kName.size(), 'd') + kName, false},
      {"far too long", std::string(100000, 'd') + kName, false},
      {"two-byte letters on both sides of the cut", repeated("\xCE\xA9", 3000), false},
      {"three-byte letters", repeated("\xE2\x82\xAC", 2000) + kName, false},
  };
  const std::string kEllipsis = "\xE2\x80\xA6";
  auto continues = [](char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; };
  for (const NameCase& c : cases) {
    const std::string shown = quotedFileName(c.path);
    if (c.whole) {
      EXPECT_EQ(shown, "'" + c.path + "'") << c.name;
      continue;
    }
    const size_t cut = shown.find(kEllipsis);
    ASSERT_NE(cut, std::string::npos) << c.name;
    const size_t head = cut - 1;
    const size_t tail = shown.size() - cut - kEllipsis.size() - 1;
    EXPECT_LE(head + kEllipsis.size() + tail, kWholeFileName) << c.name;
    EXPECT_GT(head, 2000u) << c.name;
    EXPECT_GT(tail, 2000u) << c.name;
    EXPECT_EQ(shown,
              "'" + c.path.substr(0, head) + kEllipsis + c.path.substr(c.path.size() - tail) + "'")
        << c.name;
    EXPECT_FALSE(continues(c.path[head])) << c.name;
    EXPECT_FALSE(continues(c.path[c.path.size() - tail])) << c.name;
  }
  EXPECT_EQ(quotedForMessage(std::string(100, 'n')), "'" + std::string(60, 'n') + "...'")
      << "usage messages keep their own cut";
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

// Every row, whatever its texts: the columns are what a fresh window shows after one press
// (its fields for the inputs that read), and the error column names each failure it counted.
// Every other row goes through a semicolon file with decimal commas, against a window on a
// decimal-comma desktop.
TEST(BatchAndWindow, GiveTheSameTextsAsAFreshWindowAfterOnePress) {
  const std::string kDuty =
      "Warning|64|Duty Cycle cannot be > 100%, t has been reduced to limit D to 100%";
  const TextBox kBoxes[] = {TextBox::t, TextBox::P, TextBox::Ip, TextBox::Ia, TextBox::Ib};
  std::mt19937 random(20261208);
  int limited = 0;
  int emptySlots = 0;
  int zeroPeriods = 0;
  int unread = 0;
  for (int i = 0; i < 600; ++i) {
    const bool comma = i % 2 == 1;
    const char mark = comma ? ',' : '.';
    std::array<std::string, 5> texts;
    std::string line;
    for (std::string& text : texts) {
      text = randomText(random);
      if (comma) {
        std::replace(text.begin(), text.end(), '.', ',');
      }
      line += (line.empty() ? "" : comma ? ";" : ",") + text;
    }
    std::string row;
    const bool complete =
        AppendBatchRow(line, comma ? Separator::Semicolon : Separator::Comma, row);
    std::vector<std::string> batch = columns(row);
    ASSERT_GE(batch.size(), 14u) << row;

    Recorder fake;
    for (size_t b = 0; b < 5; ++b) {
      fake.type(kBoxes[b], texts[b]);
    }
    Calculator calculator(fake, mark);
    calculator.Command1_Click();
    const auto point = [](std::string text) {
      std::replace(text.begin(), text.end(), ',', '.');
      return text;
    };
    const WaveformInputs& in = calculator.inputs();
    const float WaveformInputs::*fields[] = {&WaveformInputs::t, &WaveformInputs::T,
                                             &WaveformInputs::Ip, &WaveformInputs::Ia,
                                             &WaveformInputs::Ib};
    for (size_t b = 0; b < 5; ++b) {
      const bool read = static_cast<bool>(TryTextToSingle(texts[b], mark));
      EXPECT_EQ(batch[b], read ? SingleToText(in.*fields[b]) : "") << b << " of " << row;
      unread += !read;
    }
    const bool warned = std::ranges::count(messagesOf(fake), kDuty) == 1;
    EXPECT_EQ(batch[5], SingleToText(in.D)) << row;
    EXPECT_EQ(batch[6], warned ? "yes" : "no") << row;
    if (warned) {
      EXPECT_EQ(batch[0], point(fake.text(TextBox::t))) << "t as written back into its box";
    }
    for (size_t c = 0; c < kResultSlotFacts.size(); ++c) {
      EXPECT_EQ(batch[7 + c], point(fake.text(kResultSlotFacts[c].box))) << c << " of " << row;
      emptySlots += batch[7 + c].empty();
    }
    const int failures = calculator.readErrorCount() + calculator.clickErrorCount();
    const std::string error = row.substr(row.find(',', row.find("," + batch[12] + ",") + 1) + 1);
    EXPECT_EQ(complete, failures == 0) << row;
    EXPECT_EQ(failures == 0 ? 0 : std::ranges::count(error, ';') + 1, failures) << row;
    limited += warned;
    zeroPeriods += in.T == 0.0f;
  }
  // The inputs reach the limit, the failing slots, T = 0 and unreadable texts often enough
  // to mean something.
  EXPECT_GT(limited, 30);
  EXPECT_GT(emptySlots, 30);
  EXPECT_GT(zeroPeriods, 10);
  EXPECT_GT(unread, 10);
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

// The platform the start-up check follows is the one the engine starts: the last
// "-platform NAME", never an option's value or an argument after "--".
TEST(CommandLine, TheWindowEngineTakesTheLastPlatformItReads) {
  const std::pair<std::vector<const char*>, const char*> cases[] = {
      {{"-platform", "offscreen"}, "offscreen"},
      {{"--platform", "a", "-platform", "b"}, "b"},
      {{"-qwindowtitle", "-platform", "xcb"}, nullptr},
      {{"-platform=offscreen"}, nullptr},
      {{"--", "-platform", "offscreen"}, nullptr},
      {{"-platform"}, nullptr},
  };
  for (const auto& [arguments, platform] : cases) {
    std::vector<char*> argv{const_cast<char*>("korvath-rms")};
    for (const char* a : arguments) {
      argv.push_back(const_cast<char*>(a));
    }
    const std::optional<std::string_view> read = readEngineArguments(argv).platform;
    EXPECT_EQ(read, platform ? std::optional<std::string_view>(platform) : std::nullopt)
        << arguments.size() << " arguments";
  }
}

}  // namespace
}  // namespace rms
