// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/checked_math.h"
#include "runtime/conversions.h"
#include "runtime/failure.h"
#include "runtime/recovery.h"

namespace rms {
namespace {

uint32_t bitsOf(float f) {
  uint32_t u;
  std::memcpy(&u, &f, sizeof u);
  return u;
}

ErrorNumber failureOf(std::string_view text, char separator = '.') {
  try {
    TextToSingle(text, separator);
  } catch (const Failure& f) {
    return f.number();
  }
  ADD_FAILURE() << "\"" << text << "\" was accepted with separator " << separator;
  return ErrorNumber::OutOfMemory;
}

// A row holds for each of the decimal separators it names: a point is read under both.
struct Accepted {
  const char* name;
  const char* text;
  float value;
  std::string_view separators = ".,";
};

class TextToSingleAccepts : public testing::TestWithParam<Accepted> {};

TEST_P(TextToSingleAccepts, RoundsToTheNearestSingle) {
  const Accepted& row = GetParam();
  for (char separator : row.separators) {
    EXPECT_EQ(bitsOf(TextToSingle(row.text, separator)), bitsOf(row.value))
        << '"' << row.text << "\" with separator " << separator;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Grammar, TextToSingleAccepts,
    testing::Values(
        Accepted{"Integer", "1", 1.0f}, Accepted{"LeadingPoint", ".5", 0.5f},
        Accepted{"TrailingPoint", "5.", 5.0f}, Accepted{"PlusSign", "+2.5", 2.5f},
        Accepted{"MinusSign", "-2.5", -2.5f}, Accepted{"NegativeZero", "-0", -0.0f},
        Accepted{"Blanks", "  \t0.25 \t", 0.25f}, Accepted{"Exponent", "1e3", 1000.0f},
        Accepted{"UpperExponentSigned", "2.5E-1", 0.25f},
        Accepted{"ExponentPlus", "1.5e+2", 150.0f}, Accepted{"PointThree", "0.3", 0x1.333334p-2f},
        Accepted{"LeadingZeros", "000000000000000000000000000000012", 12.0f},
        // Halfway between 2^24 and 2^24 + 2: ties go to even.
        Accepted{"TieToEven", "16777217", 16777216.0f},
        Accepted{"TieToEvenUp", "16777219", 16777220.0f},
        // A single decimal rounding, not a rounding to double and then to single.
        Accepted{"NoDoubleRounding", "1.000000059604644775390625000001", 0x1.000002p0f},
        Accepted{"LargestSingle", "3.4028234663852886e38", std::numeric_limits<float>::max()},
        Accepted{"RoundsDownToLargest", "3.40282356e38", std::numeric_limits<float>::max()},
        Accepted{"Subnormal", "1e-45", 0x1p-149f}, Accepted{"Underflow", "1e-50", 0.0f},
        Accepted{"NegativeUnderflow", "-1e-50", -0.0f},
        Accepted{"HugeNegativeExponent", "1e-99999999999999999999999", 0.0f},
        Accepted{"ManyFractionZerosUnderflow",
                 "0.0000000000000000000000000000000000000000000000001", 0.0f}),
    [](const auto& info) { return info.param.name; });

INSTANTIATE_TEST_SUITE_P(
    DecimalComma, TextToSingleAccepts,
    testing::Values(Accepted{"Comma", "0,5", 0.5f, ","}, Accepted{"LeadingComma", ",5", 0.5f, ","},
                    Accepted{"TrailingComma", "5,", 5.0f, ","},
                    Accepted{"SignBlanksExponent", " -2,5E-1\t", -0.25f, ","},
                    Accepted{"NotAGroup", "1,234", 1.234f, ","},
                    Accepted{"Underflow", "0,0000000000000000000000000000000000000000000000001",
                             0.0f, ","}),
    [](const auto& info) { return info.param.name; });

struct Rejected {
  const char* name;
  const char* text;
  ErrorNumber number;
  std::string_view separators = ".,";
};

class TextToSingleRejects : public testing::TestWithParam<Rejected> {};

TEST_P(TextToSingleRejects, WithTheRightNumber) {
  const Rejected& row = GetParam();
  for (char separator : row.separators) {
    EXPECT_EQ(failureOf(row.text, separator), row.number)
        << '"' << row.text << "\" with separator " << separator;
  }
}

INSTANTIATE_TEST_SUITE_P(NotANumber, TextToSingleRejects,
                         testing::Values(Rejected{"Empty", "", ErrorNumber::NotANumber},
                                         Rejected{"Blanks", "   ", ErrorNumber::NotANumber},
                                         Rejected{"Letters", "abc", ErrorNumber::NotANumber},
                                         Rejected{"Comma", "1,5", ErrorNumber::NotANumber, "."},
                                         Rejected{"TwoPoints", "1.2.3", ErrorNumber::NotANumber},
                                         Rejected{"Inf", "inf", ErrorNumber::NotANumber},
                                         Rejected{"Infinity", "-Infinity", ErrorNumber::NotANumber},
                                         Rejected{"Nan", "nan", ErrorNumber::NotANumber},
                                         Rejected{"NaNAsWritten", "NaN", ErrorNumber::NotANumber},
                                         Rejected{"Hex", "0x10", ErrorNumber::NotANumber},
                                         Rejected{"BareExponent", "1e", ErrorNumber::NotANumber},
                                         Rejected{"SignedBareExponent", "1e+",
                                                  ErrorNumber::NotANumber},
                                         Rejected{"PointOnly", ".", ErrorNumber::NotANumber},
                                         Rejected{"SignOnly", "-", ErrorNumber::NotANumber},
                                         Rejected{"TwoSigns", "+-1", ErrorNumber::NotANumber},
                                         Rejected{"InnerBlank", "1 0", ErrorNumber::NotANumber},
                                         Rejected{"TrailingJunk", "1.5x", ErrorNumber::NotANumber},
                                         Rejected{"ExponentOnly", "e5", ErrorNumber::NotANumber}),
                         [](const auto& info) { return info.param.name; });

// Under either separator: one point, never both, never groups.
INSTANTIATE_TEST_SUITE_P(
    CommaOrPoint, TextToSingleRejects,
    testing::Values(Rejected{"CommaOnly", ",", ErrorNumber::NotANumber},
                    Rejected{"TwoCommas", "1,2,3", ErrorNumber::NotANumber},
                    Rejected{"PointThenComma", "1.234,5", ErrorNumber::NotANumber},
                    Rejected{"CommaThenPoint", "1,234.5", ErrorNumber::NotANumber},
                    Rejected{"CommaInExponent", "1e2,5", ErrorNumber::NotANumber},
                    Rejected{"OtherSeparator", "1;5", ErrorNumber::NotANumber, ".,;"},
                    Rejected{"CommaJustAbove", "3,4028236e38", ErrorNumber::Overflow, ","}),
    [](const auto& info) { return info.param.name; });

INSTANTIATE_TEST_SUITE_P(
    BeyondSingleRange, TextToSingleRejects,
    testing::Values(Rejected{"JustAbove", "3.4028236e38", ErrorNumber::Overflow},
                    Rejected{"Large", "1e39", ErrorNumber::Overflow},
                    Rejected{"NegativeLarge", "-1e39", ErrorNumber::Overflow},
                    Rejected{"HugeExponent", "1e99999999999999999999999", ErrorNumber::Overflow},
                    Rejected{"ManyDigits", "1000000000000000000000000000000000000000000000000000",
                             ErrorNumber::Overflow},
                    Rejected{"FractionWithExponent", "0.001e42", ErrorNumber::Overflow}),
    [](const auto& info) { return info.param.name; });

TEST(TextToSingle, RejectsAnEmbeddedNul) {
  EXPECT_EQ(failureOf(std::string_view("1\0"
                                       "5",
                                       3)),
            ErrorNumber::NotANumber);
}

// How long these take is press_timing_tests' to check, in the native tree only: here, under
// an emulator or a sanitizer, a time limit would measure the machine.
TEST(TextToSingle, AMegabyteOfTextIsAnswered) {
  const std::string digits(1 << 20, '7');
  const std::string zeros = "0." + std::string(1 << 20, '0') + "1";
  const std::string junk = std::string(1 << 20, '1') + "x";
  const std::string longExponent = "1e-" + std::string(1 << 20, '9');
  EXPECT_EQ(failureOf(digits), ErrorNumber::Overflow);
  EXPECT_EQ(TextToSingle(zeros), 0.0f);
  EXPECT_EQ(failureOf(junk), ErrorNumber::NotANumber);
  EXPECT_EQ(TextToSingle(longExponent), 0.0f);
  EXPECT_EQ(TextToSingle("0." + std::string(1 << 20, '3')), 0x1.555556p-2f);
  EXPECT_EQ(TextToSingle("0," + std::string(1 << 20, '3'), ','), 0x1.555556p-2f);
}

struct Written {
  const char* name;
  double value;
  const char* text;
  char separator = '.';
};

class DoubleToTextWrites : public testing::TestWithParam<Written> {};

TEST_P(DoubleToTextWrites, TheShortestExactText) {
  EXPECT_EQ(DoubleToText(GetParam().value, GetParam().separator), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Forms, DoubleToTextWrites,
    testing::Values(Written{"Half", 0.5, "0.5"},
                    Written{"OneOverRootTwo", 0x1.6a09e667f3bccp-1, "0.7071067811865475"},
                    Written{"RootHalf", 0x1.6a09e667f3bcdp-1, "0.7071067811865476"},
                    Written{"Integer", 5.0, "5"}, Written{"Negative", -2.25, "-2.25"},
                    Written{"NegativeZero", -0.0, "0"}, Written{"Zero", 0.0, "0"},
                    Written{"Large", 1e20, "1e+20"}, Written{"Small", 1.5e-7, "1.5e-07"},
                    Written{"NaN", std::numeric_limits<double>::quiet_NaN(), "NaN"},
                    Written{"Infinity", std::numeric_limits<double>::infinity(), "Infinity"},
                    Written{"MinusInfinity", -std::numeric_limits<double>::infinity(),
                            "-Infinity"}),
    [](const auto& info) { return info.param.name; });

// Only the separator changes.
INSTANTIATE_TEST_SUITE_P(
    DecimalComma, DoubleToTextWrites,
    testing::Values(Written{"Half", 0.5, "0,5", ','}, Written{"Negative", -2.25, "-2,25", ','},
                    Written{"NegativeZero", -0.0, "0", ','}, Written{"Large", 1e20, "1e+20", ','},
                    Written{"Small", 1.5e-7, "1,5e-07", ','},
                    Written{"NaN", std::numeric_limits<double>::quiet_NaN(), "NaN", ','}),
    [](const auto& info) { return info.param.name; });

TEST(SingleToText, WritesTheShortestTextThatReadsBack) {
  EXPECT_EQ(SingleToText(0x1.333334p-2f), "0.3");
  EXPECT_EQ(SingleToText(1.0f), "1");
  EXPECT_EQ(SingleToText(-0.0f), "0");
  EXPECT_EQ(SingleToText(std::numeric_limits<float>::max()), "3.4028235e+38");
  EXPECT_EQ(SingleToText(std::numeric_limits<float>::max(), ','), "3,4028235e+38");
  for (char separator : {'.', ','}) {
    for (float f : {0x1.333334p-2f, 0x1p-149f, 16777216.0f, 1e-7f, -123.456f,
                    std::numeric_limits<float>::max()}) {
      const std::string text = SingleToText(f, separator);
      EXPECT_EQ(bitsOf(TextToSingle(text, separator)), bitsOf(f)) << text;
    }
  }
}

struct Operation {
  const char* name;
  double (*apply)(CheckedArithmetic&);
  std::optional<ErrorNumber> raised;
};

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kMax = std::numeric_limits<double>::max();

class CheckedArithmeticFlags : public testing::TestWithParam<Operation> {};

TEST_P(CheckedArithmeticFlags, RaiseAtTheNextCheck) {
  CheckedArithmetic fp;
  GetParam().apply(fp);
  if (GetParam().raised) {
    try {
      fp.check();
      FAIL() << "no failure";
    } catch (const Failure& f) {
      EXPECT_EQ(f.number(), *GetParam().raised);
    }
    EXPECT_NO_THROW(fp.check()) << "a check clears the status";
  } else {
    EXPECT_NO_THROW(fp.check());
  }
  // The same without an exception: the first failure found is kept, whatever follows. A
  // square root fails where it stands, before the flags of a division not yet checked.
  CheckedArithmetic quiet;
  GetParam().apply(quiet);
  quiet.checkpoint();
  quiet.div(1.0, 0.0);
  quiet.sqrt(-1.0);
  quiet.checkpoint();
  EXPECT_EQ(quiet.failure(), GetParam().raised.value_or(ErrorNumber::SqrtOfNegative));
}

INSTANTIATE_TEST_SUITE_P(
    Ieee, CheckedArithmeticFlags,
    testing::Values(
        Operation{"ZeroOverZero", [](CheckedArithmetic& fp) { return fp.div(0.0, 0.0); },
                  ErrorNumber::InvalidOperation},
        Operation{"OneOverZero", [](CheckedArithmetic& fp) { return fp.div(1.0, 0.0); },
                  ErrorNumber::DivisionByZero},
        Operation{"MinusOneOverMinusZero", [](CheckedArithmetic& fp) { return fp.div(-1.0, -0.0); },
                  ErrorNumber::DivisionByZero},
        Operation{"InfOverZero", [](CheckedArithmetic& fp) { return fp.div(kInf, 0.0); },
                  std::nullopt},
        Operation{"InfOverInf", [](CheckedArithmetic& fp) { return fp.div(kInf, kInf); },
                  ErrorNumber::InvalidOperation},
        Operation{"ZeroTimesInf", [](CheckedArithmetic& fp) { return fp.mul(0.0, kInf); },
                  ErrorNumber::InvalidOperation},
        Operation{"InfMinusInf", [](CheckedArithmetic& fp) { return fp.sub(kInf, kInf); },
                  ErrorNumber::InvalidOperation},
        Operation{"InfPlusMinusInf", [](CheckedArithmetic& fp) { return fp.add(kInf, -kInf); },
                  ErrorNumber::InvalidOperation},
        Operation{"ProductOverflows", [](CheckedArithmetic& fp) { return fp.mul(kMax, 2.0); },
                  ErrorNumber::Overflow},
        Operation{"SumOverflows", [](CheckedArithmetic& fp) { return fp.add(kMax, kMax); },
                  ErrorNumber::Overflow},
        Operation{"QuotientOverflows", [](CheckedArithmetic& fp) { return fp.div(kMax, 0.5); },
                  ErrorNumber::Overflow},
        Operation{"SquareOverflows", [](CheckedArithmetic& fp) { return fp.square(1e200); },
                  ErrorNumber::Overflow},
        Operation{"SingleOverflows",
                  [](CheckedArithmetic& fp) { return double(fp.toSingle(1e39)); },
                  ErrorNumber::Overflow},
        Operation{"SingleUnderflowIgnored",
                  [](CheckedArithmetic& fp) { return double(fp.toSingle(1e-60)); }, std::nullopt},
        Operation{"InfOperandQuiet", [](CheckedArithmetic& fp) { return fp.mul(kInf, 2.0); },
                  std::nullopt},
        Operation{"NaNOperandQuiet", [](CheckedArithmetic& fp) { return fp.div(kNaN, 0.0); },
                  std::nullopt},
        Operation{"NaNTimesInfQuiet", [](CheckedArithmetic& fp) { return fp.mul(kNaN, kInf); },
                  std::nullopt},
        Operation{"InexactIgnored", [](CheckedArithmetic& fp) { return fp.div(1.0, 3.0); },
                  std::nullopt},
        // Invalid is reported before an overflow raised earlier in the same run.
        Operation{"InvalidFirst",
                  [](CheckedArithmetic& fp) {
                    fp.mul(kMax, 2.0);
                    fp.div(1.0, 0.0);
                    return fp.sub(kInf, kInf);
                  },
                  ErrorNumber::InvalidOperation},
        Operation{"DivisionByZeroBeforeOverflow",
                  [](CheckedArithmetic& fp) {
                    fp.mul(kMax, 2.0);
                    return fp.div(1.0, 0.0);
                  },
                  ErrorNumber::DivisionByZero}),
    [](const auto& info) { return info.param.name; });

TEST(Sqrt, FailsOnlyBelowZero) {
  EXPECT_EQ(Sqrt(2.0), 0x1.6a09e667f3bcdp0);
  EXPECT_TRUE(std::signbit(Sqrt(-0.0)));
  EXPECT_TRUE(std::isnan(Sqrt(kNaN)));
  EXPECT_EQ(Sqrt(kInf), kInf);
  for (double x : {-1e-300, -1.0, -kInf}) {
    try {
      Sqrt(x);
      ADD_FAILURE() << x;
    } catch (const Failure& f) {
      EXPECT_EQ(f.number(), ErrorNumber::SqrtOfNegative);
    }
  }
}

TEST(Recovery, AFailedStatementRunsTheHandlerAndTheNextStatement) {
  std::vector<ErrorNumber> seen;
  std::vector<int> ran;
  Recovery recovery([&](const Failure& f) { seen.push_back(f.number()); });
  EXPECT_TRUE(recovery.run([&] { ran.push_back(1); }));
  EXPECT_FALSE(recovery.run([&] {
    TextToSingle("x");
    ran.push_back(2);  // abandoned with the rest of the statement
  }));
  EXPECT_FALSE(recovery.run([&] { throw std::bad_alloc(); }));
  EXPECT_TRUE(recovery.run([&] { ran.push_back(3); }));
  // A statement may return its failure instead of throwing it.
  EXPECT_FALSE(recovery.run([&] { return TryTextToSingle("1e39"); }));
  EXPECT_TRUE(recovery.run([&] { return TryTextToSingle("1"); }));
  EXPECT_EQ(ran, (std::vector<int>{1, 3}));
  EXPECT_EQ(seen, (std::vector<ErrorNumber>{ErrorNumber::NotANumber, ErrorNumber::OutOfMemory,
                                            ErrorNumber::Overflow}));
}

TEST(Recovery, EndingTheProgramPassesThroughEveryHandler) {
  int handled = 0;
  Recovery outer([&](const Failure&) { ++handled; });
  Recovery inner([&](const Failure&) { throw ProgramEnded{}; });
  EXPECT_THROW(outer.run([&] { inner.run([] { throw Failure(ErrorNumber::Overflow); }); }),
               ProgramEnded);
  EXPECT_THROW(outer.run([&] { inner.run([] { return Status(ErrorNumber::Overflow); }); }),
               ProgramEnded);
  EXPECT_EQ(handled, 0);
}

TEST(Failure, EveryNumberHasItsOwnWords) {
  std::set<std::string_view> sentences, phrases;
  for (ErrorNumber n :
       {ErrorNumber::SqrtOfNegative, ErrorNumber::Overflow, ErrorNumber::OutOfMemory,
        ErrorNumber::DivisionByZero, ErrorNumber::NotANumber, ErrorNumber::InvalidOperation}) {
    sentences.insert(wordsOf(n).sentence);
    phrases.insert(wordsOf(n).phrase);
    EXPECT_STREQ(Failure(n).what(), describe(n).c_str());
  }
  EXPECT_EQ(sentences.size(), 6U) << "no two kinds share a sentence";
  EXPECT_EQ(phrases.size(), 6U) << "no two kinds share a phrase";
  EXPECT_EQ(Failure(ErrorNumber::DivisionByZero).description(), "Division by zero");
  EXPECT_EQ(describe(static_cast<ErrorNumber>(999)), "Unknown error") << "no borrowed words";
}

}  // namespace
}  // namespace rms
