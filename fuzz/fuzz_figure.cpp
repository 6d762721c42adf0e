// SPDX-License-Identifier: MIT
// Fuzzes the figure of one press and its SVG.
//
// The input is text, one field a line: the five texts of t, T, Ip, Ia and Ib, pressed as a
// batch row, then drawn. The figure must hold:
//   - six groups, named after the batch columns, in their order, and every tag closed;
//   - no NaN or infinity anywhere, and every coordinate inside the page;
//   - a waveform path in exactly the groups whose shape has pieces.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "batch/batch.h"
#include "figure/press_input.h"
#include "figure/svg.h"

namespace {

[[noreturn]] void fail(const char* what, const std::string& svg) {
  std::fprintf(stderr, "%s\n%s\n", what, svg.c_str());
  std::abort();
}

bool inside(const rms::Point& p, const rms::Figure& figure) {
  return p.x >= -1e6 && p.x <= figure.width + 1e6 && p.y >= -1e6 && p.y <= figure.height + 1e6 &&
         p.x == p.x && p.y == p.y;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view input(reinterpret_cast<const char*>(data), size);
  std::array<std::string_view, 5> texts{};
  for (std::string_view& text : texts) {
    const size_t end = input.find('\n');
    text = input.substr(0, end);
    input.remove_prefix(end == std::string_view::npos ? input.size() : end + 1);
  }
  rms::Recorder recorder;
  const rms::Figure figure =
      rms::MakeFigure(rms::FigureInputOf(rms::PressPoint(recorder, texts, '.'), '.', '.'));
  const std::string svg(rms::FigureSvg(figure));

  size_t at = 0;
  for (size_t i = 0; i < rms::kResultSlotFacts.size(); ++i) {
    const rms::Panel& panel = figure.panels[i];
    const std::string start = "<g id=\"" + std::string(rms::kResultSlotFacts[i].column) + "\">";
    at = svg.find(start, at);
    if (at == std::string::npos) {
      fail("a group is missing or out of order", svg);
    }
    const size_t end = svg.find("</g>", at);
    const std::string_view group = std::string_view(svg).substr(at, end - at);
    if ((group.find("class=\"waveform\"") != std::string_view::npos) == panel.pieces.empty()) {
      fail("a waveform path without pieces, or pieces without a path", svg);
    }
    for (const rms::Line& line : panel.lines) {
      if (!inside(line.from, figure) || !inside(line.to, figure)) {
        fail("a line off the page", svg);
      }
    }
    for (const rms::Path& path : panel.paths) {
      for (const rms::PathStep& step : path.steps) {
        if (!inside(step.to, figure) ||
            (step.cubic && (!inside(step.c1, figure) || !inside(step.c2, figure)))) {
          fail("a path off the page", svg);
        }
      }
    }
  }
  for (std::string_view word : {"NaN", "nan", "inf", "Inf"}) {
    if (svg.find(word) != std::string::npos) {
      fail("not finite", svg);
    }
  }
  if (!svg.ends_with("</svg>\n")) {
    fail("unfinished", svg);
  }
  return 0;
}
