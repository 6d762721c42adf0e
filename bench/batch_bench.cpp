// SPDX-License-Identifier: MIT
// Cost of one batch row, from its input line to its CSV text. press_bench has the bare
// conversions and formulas a row is made of; bench/batch/batch_throughput.py measures
// the real executable over a million rows.
#include <benchmark/benchmark.h>

#include <string>
#include <string_view>

#include "batch/batch.h"

namespace rms {
namespace {

void rows(benchmark::State& state, std::string_view line) {
  std::string out;
  out.reserve(4096);
  for (auto _ : state) {
    AppendBatchRow(line, out);
    benchmark::DoNotOptimize(out.data());
    out.clear();
  }
}

// The window's initial inputs, as press_bench's conversions use them.
void RowOfTheInitialInputs(benchmark::State& state) {
  rows(state, "0.5,1,1,.5,1");
}
BENCHMARK(RowOfTheInitialInputs);

// A sweep point with longer numbers, cut back by the duty limit.
void RowLimited(benchmark::State& state) {
  rows(state, "1.0625 0.9375 2.75 0.3125 1.875");
}
BENCHMARK(RowLimited);

// A negative duty cycle: five of the six formulas fail and give reasons.
void RowWithFailures(benchmark::State& state) {
  rows(state, "-0.5;1;1;1;1");
}
BENCHMARK(RowWithFailures);

}  // namespace
}  // namespace rms
