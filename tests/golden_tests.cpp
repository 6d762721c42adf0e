// SPDX-License-Identifier: MIT
// Presses whose exact bits are committed in golden/presses.tsv, written once on x86-64.
// Every processor the program is built for must give the same duty cycle and the same
// six results, bit for bit, or the same failure.
//
// The table holds ordinary presses, the ends of the single range, decimal texts that lie
// exactly between two singles, texts that are not numbers, presses whose last bit came out
// differently where doubles were computed on the x87 unit, and 300 seeded random presses.
// To add presses, append lines of their five texts (tab-separated) and write the table
// afresh from its own inputs; do that only after a deliberate change of the arithmetic:
//   RMS_GOLDEN_WRITE=tests/golden/presses.tsv <build>/tests/golden_tests

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <type_traits>

#include "runtime/conversions.h"
#include "runtime/failure.h"
#include "runtime/recorder/recorder.h"
#include "window/calculator.h"

namespace rms {
namespace {

using Texts = std::array<std::string, 5>;  // t, P, Ip, Ia, Ib as typed

constexpr std::array<TextBox, 6> kResultBoxes = {TextBox::Text6_0, TextBox::Text6_1,
                                                 TextBox::Text6_3, TextBox::Text6_4,
                                                 TextBox::Text6_5, TextBox::Text6_6};

// The bits of a number in hex. A NaN is written "NaN": its sign and payload are the
// processor's (x86 makes 0/0 negative, ARM positive), and every NaN shows as "NaN".
template <typename Number>
std::string bits(Number value) {
  if (std::isnan(value)) {
    return "NaN";
  }
  // std::bit_cast's work; the WebAssembly build's standard library lacks it.
  std::conditional_t<sizeof value == 4, uint32_t, uint64_t> raw;
  std::memcpy(&raw, &value, sizeof raw);
  char buffer[17];
  std::snprintf(buffer, sizeof buffer, "%0*llx", static_cast<int>(2 * sizeof value),
                static_cast<unsigned long long>(raw));
  return buffer;
}

// One press on a fresh window, as a table row: the five texts, D, then each result as
// its bits or "error N". The result boxes must show exactly these results.
std::string pressRow(const Texts& texts) {
  Recorder fake;
  Calculator calc(fake);
  for (size_t i = 0; i < texts.size(); ++i) {
    fake.type(kInputBoxes[i].box, texts[i]);
  }
  calc.Command1_Click();

  std::string row;
  for (const std::string& text : texts) {
    row += text + '\t';
  }
  row += bits(calc.inputs().D);
  for (size_t i = 0; i < kResultSlots.size(); ++i) {
    std::string shown;
    try {
      const double value = ComputeResult(kResultSlots[i], calc.inputs());
      row += '\t' + bits(value);
      shown = DoubleToText(value);
    } catch (const Failure& f) {
      row += "\terror " + std::to_string(static_cast<int>(f.number()));
    }
    EXPECT_EQ(fake.text(kResultBoxes[i]), shown) << row;
  }
  return row;
}

Texts inputsOf(const std::string& row) {
  Texts texts;
  std::istringstream fields(row);
  for (std::string& text : texts) {
    std::getline(fields, text, '\t');
  }
  return texts;
}

TEST(GoldenTable, EveryPressGivesTheCommittedBits) {
  std::ifstream in(RMS_GOLDEN_TABLE);
  ASSERT_TRUE(in) << RMS_GOLDEN_TABLE;
  const char* rewrite = std::getenv("RMS_GOLDEN_WRITE");
  std::string table;
  int presses = 0;
  for (std::string row; std::getline(in, row);) {
    if (row.starts_with('#')) {
      table += row + '\n';
      continue;
    }
    const std::string computed = pressRow(inputsOf(row));
    if (!rewrite) {
      EXPECT_EQ(computed, row);
    }
    table += computed + '\n';
    ++presses;
  }
  EXPECT_GE(presses, 300);
  if (rewrite) {
    std::ofstream(rewrite) << table;
    GTEST_SKIP() << "wrote " << presses << " presses to " << rewrite;
  }
}

}  // namespace
}  // namespace rms
