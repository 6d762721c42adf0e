// SPDX-License-Identifier: MIT
// Cost of one batch row, from its input line to its CSV text. press_bench has the bare
// conversions and formulas a row is made of; bench/batch/batch_throughput.py measures
// the real executable over a million rows.
#include <benchmark/benchmark.h>

#include <string>
#include <string_view>

#include "batch/batch.h"
#include "batch/reader.h"

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

// Reading one line of 512 KiB: an error row, or a header skipped. Every kind should take at
// most about three times as long as a plain line: the reading is linear whatever the line
// holds (a line of blanks, a letter and quotes once took minutes).
void ReadLongLine(benchmark::State& state) {
  constexpr size_t kHalf = size_t{1} << 18;
  std::string line;
  switch (state.range(0)) {
    case 0:
      state.SetLabel("plain: digits");
      line.assign(2 * kHalf, '1');
      break;
    case 1:
      state.SetLabel("plain: numbers and blanks");
      while (line.size() < 2 * kHalf) {
        line += "0.5 1 1 .5 1 ";
      }
      break;
    case 2:
      state.SetLabel("blanks, a letter, quotes");
      line = std::string(kHalf, ' ') + "x" + std::string(kHalf, '"');
      break;
    case 3:
      state.SetLabel("tabs, a letter, quotes");
      line = std::string(kHalf, '\t') + "x" + std::string(kHalf, '"');
      break;
    case 4:
      state.SetLabel("a quoted field of separators");
      line = "\"";
      while (line.size() < 2 * kHalf) {
        line += "1,\t;\"\" ";
      }
      line += "\"";
      break;
  }
  line += '\n';
  for (auto _ : state) {
    Reader reader;
    reader.input(line);
    reader.endOfInput();
    benchmark::DoNotOptimize(reader.next());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * line.size()));
}
BENCHMARK(ReadLongLine)->DenseRange(0, 4)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace rms
