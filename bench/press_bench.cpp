// SPDX-License-Identifier: MIT
// Cost of one press of Calculate over in-memory boxes, beside the bare arithmetic and
// the text conversions it is made of.
#include <benchmark/benchmark.h>

#include "core/waveform.h"
#include "figure/figure.h"
#include "figure/svg.h"
#include "runtime/conversions.h"
#include "runtime/recorder/recorder.h"
#include "window/calculator.h"

namespace rms {
namespace {

WaveformInputs defaults() {
  WaveformInputs in;
  in.t = 0.5f;
  in.T = 1.0f;
  in.Ip = 1.0f;
  in.Ia = 0.5f;
  in.Ib = 1.0f;
  in.ComputeDutyCycle();
  return in;
}

void SixFormulas(benchmark::State& state) {
  WaveformInputs in = defaults();
  for (auto _ : state) {
    benchmark::DoNotOptimize(in);
    for (ResultSlot slot : kResultSlots) {
      benchmark::DoNotOptimize(ComputeResult(slot, in));
    }
  }
}
BENCHMARK(SixFormulas);

void Conversions(benchmark::State& state) {
  const WaveformInputs in = defaults();
  double results[6];
  for (size_t i = 0; i < 6; ++i) {
    results[i] = ComputeResult(kResultSlots[i], in);
  }
  const char* texts[] = {"0.5", "1", "1", ".5", "1"};
  for (auto _ : state) {
    for (const char* text : texts) {
      benchmark::DoNotOptimize(TextToSingle(text));
    }
    for (double r : results) {
      benchmark::DoNotOptimize(DoubleToText(r));
    }
  }
}
BENCHMARK(Conversions);

FigureInput figureInput() {
  FigureInput input;
  input.inputs = defaults();
  for (size_t i = 0; i < kResultSlots.size(); ++i) {
    input.results[i].text = DoubleToText(ComputeResult(kResultSlots[i], input.inputs));
  }
  return input;
}

void WholePress(benchmark::State& state) {
  Recorder fake;
  Calculator calc(fake);
  for (auto _ : state) {
    calc.Command1_Click();
    fake.clearRecord();  // keeps the record from growing; a vector clear costs next to nothing
  }
}
BENCHMARK(WholePress);

// The six waveforms of the default press laid out and written as SVG: what --plot and the
// page add to a press. It should cost at most ten presses (WholePress).
void FigureOfPress(benchmark::State& state) {
  const FigureInput input = figureInput();
  size_t bytes = 0;
  for (auto _ : state) {
    const SvgDocument svg = FigureSvg(MakeFigure(input));
    bytes = svg.size();
    benchmark::DoNotOptimize(svg.data());
  }
  state.counters["bytes"] = static_cast<double>(bytes);
}
BENCHMARK(FigureOfPress);

// The two halves of FigureOfPress: laying out the six plots, and writing them.
void FigureLayout(benchmark::State& state) {
  const FigureInput input = figureInput();
  for (auto _ : state) {
    benchmark::DoNotOptimize(MakeFigure(input));
  }
}
BENCHMARK(FigureLayout);

void FigureWriting(benchmark::State& state) {
  const Figure figure = MakeFigure(figureInput());
  for (auto _ : state) {
    benchmark::DoNotOptimize(FigureSvg(figure));
  }
}
BENCHMARK(FigureWriting);

}  // namespace
}  // namespace rms
