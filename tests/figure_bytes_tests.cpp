// SPDX-License-Identifier: MIT
// The figure's SVG is the same bytes on every processor and in WebAssembly: each row of
// golden/figures.tsv holds five texts and the FNV-1a hash of their figure, written once on
// x86-64. After a deliberate change of the figure, write the table afresh from its inputs:
//   RMS_GOLDEN_WRITE=tests/golden/figures.tsv <build>/tests/figure_bytes_tests

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "figure/figure.h"
#include "figure/svg.h"
#include "runtime/conversions.h"

namespace rms {
namespace {

// The figure's input as a press forms it, without the window around the press.
FigureInput inputOf(const std::array<std::string, 5>& texts) {
  FigureInput input;
  float WaveformInputs::*fields[] = {&WaveformInputs::t, &WaveformInputs::T, &WaveformInputs::Ip,
                                     &WaveformInputs::Ia, &WaveformInputs::Ib};
  for (size_t i = 0; i < texts.size(); ++i) {
    const Outcome<float> value = TryTextToSingle(texts[i]);
    if (value) {
      input.inputs.*fields[i] = *value;
    } else {
      input.unread[i] = value.failure();
    }
  }
  if (const Status formed = input.inputs.TryComputeDutyCycle(); !formed) {
    input.dutyCycle = formed.failure();
  }
  if (input.inputs.NeedsDutyLimit()) {
    input.inputs.ApplyDutyLimit();
    input.limited = true;
    (void)input.inputs.TryComputeDutyCycle();
  }
  for (size_t i = 0; i < kResultSlots.size(); ++i) {
    const Outcome<double> result = TryComputeResult(kResultSlots[i], input.inputs);
    if (result) {
      input.results[i].text = DoubleToText(*result);
    } else {
      input.results[i].failure = result.failure();
    }
  }
  return input;
}

std::string hashOf(std::string_view bytes) {
  uint64_t hash = 0xcbf29ce484222325ULL;
  for (unsigned char c : bytes) {
    hash = (hash ^ c) * 0x100000001b3ULL;
  }
  char text[17];
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
  return text;
}

TEST(FigureBytes, EveryBuildWritesTheCommittedBytes) {
  std::ifstream table(RMS_FIGURE_TABLE);
  ASSERT_TRUE(table) << RMS_FIGURE_TABLE;
  const char* write = std::getenv("RMS_GOLDEN_WRITE");
  std::ostringstream written;
  std::string line;
  size_t rows = 0;
  while (std::getline(table, line)) {
    if (line.empty() || line.starts_with('#')) {
      written << line << '\n';
      continue;
    }
    std::array<std::string, 5> texts;
    std::istringstream fields(line);
    for (std::string& text : texts) {
      std::getline(fields, text, '\t');
    }
    std::string expected;
    std::getline(fields, expected, '\t');
    const std::string actual = hashOf(FigureSvg(MakeFigure(inputOf(texts))));
    EXPECT_EQ(actual, expected) << line;
    for (const std::string& text : texts) {
      written << text << '\t';
    }
    written << actual << '\n';
    ++rows;
  }
  EXPECT_GE(rows, 8u);
  if (write != nullptr) {
    std::ofstream(write) << written.str();
  }
}

}  // namespace
}  // namespace rms
