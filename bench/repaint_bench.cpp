// SPDX-License-Identifier: MIT
// One repaint of the focused Ip box of the real window, empty against full to the input
// limit, and a megabyte beside them: what a box without the limit could be made to hold.
// A line edit lays out its whole text on every repaint, and its blinking cursor repaints
// it about twice a second for as long as it has the focus. Runs offscreen unless
// QT_QPA_PLATFORM says otherwise.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QLineEdit>

#include "window/main_window.h"

namespace rms {
namespace {

void RepaintFocusedBox(benchmark::State& state) {
  const auto length = static_cast<qsizetype>(state.range(0));
  MainWindow window;
  window.show();
  window.activateWindow();
  auto* box = window.findChild<QLineEdit*>(QStringLiteral("Ip"));
  // setText, like the program's own writes, is not held to the limit.
  box->setText(length == 0 ? QString() : QString(length - 1, QLatin1Char('0')) + "5");
  box->setFocus();
  QApplication::processEvents();
  if (!box->hasFocus()) {
    state.SkipWithError("the box did not get the focus");
    return;
  }
  for (auto _ : state) {
    box->repaint();
  }
  state.counters["characters"] = static_cast<double>(box->text().size());
}
BENCHMARK(RepaintFocusedBox)
    ->Arg(0)
    ->Arg(kMaxInputLength)
    ->Arg(1 << 20)
    ->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace rms

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
  }
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
