// SPDX-License-Identifier: MIT
#include "figure/figure.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <numbers>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "batch/batch.h"
#include "figure/fast.h"
#include "figure/press_input.h"
#include "figure/style.h"
#include "figure/svg.h"
#include "runtime/conversions.h"

namespace rms {
namespace {

struct Pressed {
  PressRecord press;
  FigureInput input;
  Figure figure;
};

Pressed pressed(const std::array<std::string_view, 5>& texts) {
  Recorder recorder;
  Pressed p{PressPoint(recorder, texts, '.'), {}, {}};
  p.input = FigureInputOf(p.press, '.', '.');
  p.figure = MakeFigure(p.input);
  return p;
}

const Line& lineOf(const Panel& panel, Stroke stroke) {
  const auto it = std::ranges::find(panel.lines, stroke, &Line::stroke);
  EXPECT_NE(it, panel.lines.end());
  return *it;
}

// ∫ i² dt and ∫ i dt of the pieces: ramps exactly, sine arches analytically.
struct Integrals {
  double square = 0;
  double plain = 0;
};
Integrals integrate(std::span<const Piece> pieces) {
  Integrals sum;
  for (const Piece& piece : pieces) {
    const double dt = piece.t1 - piece.t0;
    if (piece.arch) {
      sum.square += piece.i0 * piece.i0 * dt / 2;
      sum.plain += 2 * piece.i0 * dt / std::numbers::pi;
    } else {
      sum.square += (piece.i0 * piece.i0 + piece.i0 * piece.i1 + piece.i1 * piece.i1) * dt / 3;
      sum.plain += (piece.i0 + piece.i1) * dt / 2;
    }
  }
  return sum;
}

// ∫ (zeroY - y)² dx along the drawn path, in pixels: straight steps exactly, cubic steps by
// Simpson's rule on a fine grid.
double pathSquares(const Path& path, double zeroY) {
  double sum = 0;
  Point from = path.start;
  for (const PathStep& step : path.steps) {
    if (!step.cubic) {
      const double a = zeroY - from.y;
      const double b = zeroY - step.to.y;
      sum += (a * a + a * b + b * b) * (step.to.x - from.x) / 3;
    } else {
      auto at = [&](double u) {
        const double v = 1 - u;
        auto mix = [&](double p0, double p1, double p2, double p3) {
          return v * v * v * p0 + 3 * v * v * u * p1 + 3 * v * u * u * p2 + u * u * u * p3;
        };
        auto slope = [&](double p0, double p1, double p2, double p3) {
          return 3 * (v * v * (p1 - p0) + 2 * v * u * (p2 - p1) + u * u * (p3 - p2));
        };
        const double h = zeroY - mix(from.y, step.c1.y, step.c2.y, step.to.y);
        return h * h * slope(from.x, step.c1.x, step.c2.x, step.to.x);
      };
      constexpr int kParts = 64;
      double s = at(0) + at(1);
      for (int k = 1; k < kParts; ++k) {
        s += (k % 2 == 1 ? 4 : 2) * at(static_cast<double>(k) / kParts);
      }
      sum += s / (3 * kParts);
    }
    from = step.to;
  }
  return sum;
}

// Operating points whose six shapes are all drawn.
constexpr std::array<std::array<std::string_view, 5>, 8> kDrawnRows = {{
    {"0.5", "1", "1", ".5", "1"},
    {"0.3", "2.5", "-4", "1", "-2"},
    {"1", "1", "3", "2", "2"},
    {"0.01", "1", "100", "0", "100"},
    {"7", "3", "1", "1", "1"},  // limited
    {"2e-6", "1e-5", "0.02", "-0.01", "0.03"},
    {"0", "4", "1", "1", "1"},       // D = 0
    {"0.5", "1", "-1", "-1", "-2"},  // below zero throughout, its RMS above
}};

// The pieces integrate to the core's RMS and to the average, and the path drawn from them,
// integrated in pixels against the zero line, meets the rms line within a pixel.
TEST(FigureGeometry, WaveformsIntegrateToTheCoresRmsAndTheRmsLine) {
  for (const auto& row : kDrawnRows) {
    const Pressed p = pressed(row);
    const double T = p.press.inputs.T;
    for (const Panel& panel : p.figure.panels) {
      SCOPED_TRACE(std::string(row[0]) + " " + std::string(row[1]) + " " + std::string(panel.id));
      ASSERT_TRUE(panel.values);
      ASSERT_EQ(panel.paths.size(), 1u);
      EXPECT_EQ(panel.pieces.front().t0, 0);
      EXPECT_DOUBLE_EQ(panel.pieces.back().t1, 2 * T);
      const Integrals sum = integrate(panel.pieces);
      const double rms = std::fabs(ComputeResult(panel.slot, p.press.inputs));
      EXPECT_NEAR(std::sqrt(sum.square / (2 * T)), rms, 1e-12 * std::max(rms, 1e-300));
      EXPECT_NEAR(sum.plain / (2 * T), panel.values->average, 1e-12 * std::max(rms, 1e-300));
      double peak = 0;
      for (const Piece& piece : panel.pieces) {
        if (piece.t1 > piece.t0) {  // a pulse of no width is never reached
          peak = std::max({peak, std::fabs(piece.i0), piece.arch ? 0.0 : std::fabs(piece.i1)});
        }
      }
      EXPECT_EQ(panel.values->peak, peak);

      const Path& path = panel.paths.front();
      const Line& zero = lineOf(panel, Stroke::Zero);
      EXPECT_NEAR(path.start.x, zero.from.x, 1e-9);
      EXPECT_NEAR(path.steps.back().to.x, zero.to.x, 1e-9);
      const double drawn = std::sqrt(pathSquares(path, zero.from.y) / (zero.to.x - zero.from.x));
      const double rmsY = lineOf(panel, Stroke::Rms).from.y;
      EXPECT_NEAR(drawn, std::fabs(zero.from.y - rmsY), 1.0);
      EXPECT_TRUE(rmsY > panel.top && rmsY < panel.top + panel.height) << rmsY;
    }
  }
}

// Each level's label stays readable: the other level's line does not run through it (a
// label is the 10 px font's height, from 9 px above its baseline to 2 px below).
TEST(FigureGeometry, NoLevelLineRunsThroughTheOtherLevelsLabel) {
  for (const auto& row : kDrawnRows) {
    const Pressed p = pressed(row);
    for (const Panel& panel : p.figure.panels) {
      SCOPED_TRACE(std::string(row[0]) + " " + std::string(row[1]) + " " + std::string(panel.id));
      const double lines[] = {lineOf(panel, Stroke::Rms).from.y,
                              lineOf(panel, Stroke::Average).from.y};
      const std::string_view labels[] = {"RMS ", "average "};
      for (size_t level = 0; level < 2; ++level) {
        const auto label = std::ranges::find_if(panel.texts, [&](const Text& text) {
          return text.role == TextRole::Value && text.text.starts_with(labels[level]) &&
                 text.at.x > panel.plotLeft;
        });
        ASSERT_NE(label, panel.texts.end()) << labels[level];
        const double other = lines[1 - level];
        EXPECT_FALSE(other > label->at.y - 9 && other < label->at.y + 2)
            << label->text << " at " << label->at.y << ", the other line at " << other;
      }
    }
  }
}

// A tick's label is the shortest text of the value it marks, as the results are written:
// read back, it is the double whose shortest text it is, and it lies where it is drawn.
TEST(FigureGeometry, TickLabelsAreTheShortestTextsOfTheirValues) {
  std::vector<std::array<std::string_view, 5>> rows(kDrawnRows.begin(), kDrawnRows.end());
  rows.push_back({"3e20", "1e21", "7e25", "1", "2"});
  rows.push_back({"1e-30", "3e-30", "5e-35", "0", "1e-35"});
  rows.push_back({"0.3", "0.7", "1234.5", "-0.001", "0.002"});
  for (const auto& row : rows) {
    const Pressed p = pressed(row);
    for (const Panel& panel : p.figure.panels) {
      SCOPED_TRACE(std::string(row[0]) + " " + std::string(row[1]) + " " + std::string(panel.id));
      for (const Text& tick : panel.texts) {
        if (tick.role != TextRole::Tick) {
          continue;
        }
        const std::string text(tick.text);
        const double value = std::strtod(text.c_str(), nullptr);
        EXPECT_EQ(DoubleToText(value), text);
        // Under the time axis, or left of the current axis at its baseline's offset: where
        // the value maps to, within a millionth of a pixel.
        if (tick.anchor == Anchor::Middle) {
          EXPECT_NEAR(panel.plotLeft + value * panel.pxPerTime, tick.at.x, 1e-6) << text;
        } else {
          EXPECT_NEAR(panel.zeroY - value * panel.pxPerCurrent, tick.at.y - 4, 1e-6) << text;
        }
      }
    }
  }
}

// A value's text is the shortest that reads back, as DoubleText writes it: decimals of a
// few digits (-0.75, 250, 999.984375), ties and longer ones beside them (0.0078125,
// 0.001953125), and the long texts of the sines.
TEST(FigureGeometry, ValuesAreTheShortestTextsOfTheirValues) {
  std::vector<std::array<std::string_view, 5>> rows(kDrawnRows.begin(), kDrawnRows.end());
  rows.push_back({"0.5", "1", "-3", "0.015625", "999.984375"});
  rows.push_back({"0.25", "1", "0.0078125", "1000.5", "0.015625"});
  rows.push_back({"1", "2", "9.5367431640625e-07", "-1", "0"});
  for (const auto& row : rows) {
    const Pressed p = pressed(row);
    for (const Panel& panel : p.figure.panels) {
      SCOPED_TRACE(std::string(row[2]) + " " + std::string(panel.id));
      ASSERT_TRUE(panel.values && panel.values->acPart);
      const ShapeValues& v = *panel.values;
      const std::string expected[] = {
          "average " + DoubleToText(v.average) + " (dotted)",
          "AC part " + DoubleToText(*v.acPart) + ", ",
          v.crestFactor ? "crest factor " + DoubleToText(*v.crestFactor) + "." : "no crest factor",
          "peak " + DoubleToText(v.peak) + " (circle)",
      };
      for (const std::string& text : expected) {
        EXPECT_NE(panel.words.find(text), std::string_view::npos) << text << " in " << panel.words;
      }
    }
  }
}

// The heading gives each input the press used, and D, as the shortest text that reads back:
// typed decimals, the nearest singles to longer ones, the ends of the single's range.
TEST(FigureGeometry, TheHeadingGivesTheShortestTextsOfTheInputs) {
  const std::array<std::string_view, 5> rows[] = {
      {"4.2", "10", "3", "2.5", "3.5"},
      {"0.1", "1e-5", "123456", "999999", "-7.5e-3"},
      {"1234567", "16777217", "3.4028235e38", "1.17549435e-38", "1e-45"},
      {"0.3", "0.7", "1234.5", "-0.001", "-0"},
      {"9.99999e-11", "1e10", "8388609.5", "0.000123", "99999.95"},
      {"0.1234567", "7", "1e6", "100000", "2e-7"},
  };
  for (const auto& row : rows) {
    const Pressed p = pressed(row);
    const WaveformInputs& in = p.input.inputs;
    std::string expected = "Waveforms of one press: t = " + SingleToText(in.t) +
                           ", T = " + SingleToText(in.T) + ", Ip = " + SingleToText(in.Ip) +
                           ", Ia = " + SingleToText(in.Ia) + ", Ib = " + SingleToText(in.Ib) +
                           ", D = " + (std::isfinite(in.D) ? SingleToText(in.D) : "undefined");
    EXPECT_EQ(p.figure.title, expected);
  }
}

// The tick steps are round and cut the span into at most the parts asked for.
TEST(FigureGeometry, TickStepsAreRound) {
  struct Case {
    double span;
    double step;
  };
  constexpr Case kCases[] = {{1, 0.2},       {2, 0.5},     {6, 1},   {0.7, 0.2},
                             {1e-38, 2e-39}, {2e38, 5e37}, {3, 0.5}, {12, 2}};
  for (const Case& c : kCases) {
    EXPECT_DOUBLE_EQ(TickStep(c.span, 6), c.step) << c.span;
  }
  // Across the decades, at and beside each power of ten: the step is round, and it is the
  // smallest round step that cuts the span into six parts or fewer.
  for (int decade = -40; decade <= 40; ++decade) {
    const double power = std::pow(10.0, decade);
    for (const double span : {power, std::nextafter(power, 0.0), std::nextafter(power, 1e300),
                              1.2 * power, 3 * power, 6 * power, 6.000001 * power, 9.99 * power}) {
      const double step = TickStep(span, 6);
      const double unit = std::pow(10.0, std::floor(std::log10(step) + 1e-9));
      const double mantissa = step / unit;
      SCOPED_TRACE(DoubleToText(span) + " gives " + DoubleToText(step));
      EXPECT_TRUE(std::fabs(mantissa - 1) < 1e-9 || std::fabs(mantissa - 2) < 1e-9 ||
                  std::fabs(mantissa - 5) < 1e-9);
      const double smaller = mantissa < 1.5 ? unit / 2 : mantissa < 3 ? unit : 2 * unit;
      EXPECT_LE(span / step, 6 * (1 + 1e-8));
      EXPECT_GT(span / smaller, 6 * (1 - 1e-8));
    }
  }
}

// A minimal XML check: every element closed in order and its attributes quoted.
std::string notWellFormed(std::string_view svg) {
  std::vector<std::string_view> open;
  for (size_t at = svg.find('<'); at != std::string_view::npos; at = svg.find('<', at + 1)) {
    const size_t end = svg.find('>', at);
    const std::string_view tag = svg.substr(at + 1, end - at - 1);
    if (end == std::string_view::npos || std::ranges::count(tag, '"') % 2 != 0) {
      return "a broken tag at " + std::to_string(at);
    }
    if (tag.starts_with('/')) {
      if (open.empty() || open.back() != tag.substr(1)) {
        return "closes " + std::string(tag);
      }
      open.pop_back();
    } else if (!tag.ends_with('/') && !tag.starts_with('?')) {
      open.push_back(tag.substr(0, tag.find(' ')));
    }
  }
  return open.empty() ? "" : "left open: " + std::string(open.back());
}

// The text of one group, from its start tag to its end.
std::string_view groupOf(std::string_view svg, std::string_view id) {
  const size_t start = svg.find("<g id=\"" + std::string(id) + "\">");
  if (start == std::string_view::npos) {
    return {};
  }
  return svg.substr(start, svg.find("</g>", start) - start);
}

size_t countOf(std::string_view text, std::string_view part) {
  size_t count = 0;
  for (size_t at = text.find(part); at != std::string_view::npos; at = text.find(part, at + 1)) {
    ++count;
  }
  return count;
}

// The edges of the inputs: which shapes are drawn (1) and what a shape not drawn says.
struct Edge {
  std::string_view name;
  std::array<std::string_view, 5> texts;
  std::string_view drawn;
  std::string_view says;  // in every shape not drawn, and somewhere when all are drawn
  bool failed;            // the press counted a failure, so --plot ends with status 1
};
constexpr Edge kEdges[] = {
    {"limited duty", {"2", "1", "1", ".5", "1"}, "111111", "limited", false},
    {"D = 1", {"1", "1", "1", ".5", "1"}, "111111", "AC part 0,", false},
    {"Ia = Ib", {"0.5", "1", "1", "1", "1"}, "111111", "RMS", false},
    {"Ia = 0, Ib = Ip", {"0", "1", "1", "0", "1"}, "111111", "no crest factor", false},
    {"negative D", {"-0.5", "1", "1", ".5", "1"}, "100000", "square root of a negative", true},
    {"T = 0", {"1", "0", "1", "1", "1"}, "000000", "the period is zero", true},
    {"negative T", {"1", "-2", "1", "1", "1"}, "000000", "the period is negative", true},
    {"1e38", {"1e38", "1e38", "1e38", "-1e38", "1e38"}, "111111", "e+37", false},
    {"1e-38", {"1e-38", "1e-38", "1e-38", "1e-38", "1e-38"}, "111111", "e-39", false},
    {"all zeros", {"0", "0", "0", "0", "0"}, "000000", "the period is zero", true},
    {"not a number", {"0.5", "1", "x", ".5", "1"}, "111111", "Ip is not a number", true},
};

TEST(FigureSvg, EdgesGiveWellFormedFiniteFigures) {
  for (const Edge& edge : kEdges) {
    SCOPED_TRACE(edge.name);
    const Pressed p = pressed(edge.texts);
    const std::string svg(FigureSvg(p.figure));
    EXPECT_EQ(notWellFormed(svg), "");
    EXPECT_NE(svg.find("role=\"img\""), std::string::npos);
    std::string lower = svg;
    std::ranges::transform(lower, lower.begin(), [](unsigned char c) { return std::tolower(c); });
    EXPECT_EQ(lower.find("nan"), std::string::npos);
    EXPECT_EQ(lower.find("inf"), std::string::npos);
    EXPECT_EQ(!p.press.failures.empty(), edge.failed);
    EXPECT_NE(svg.find(edge.says), std::string::npos);

    std::string row;
    std::string line;
    for (std::string_view text : edge.texts) {
      line += (line.empty() ? "" : " ") + std::string(text);
    }
    AppendBatchRow(line, Separator::Blanks, row);
    std::vector<std::string> columns(1);
    for (char c : row) {
      if (c == ',') {
        columns.emplace_back();
      } else {
        columns.back().push_back(c);
      }
    }
    size_t previous = 0;
    for (size_t i = 0; i < kResultSlotFacts.size(); ++i) {
      const std::string_view id = kResultSlotFacts[i].column;
      const size_t start = svg.find("<g id=\"" + std::string(id) + "\">");
      ASSERT_NE(start, std::string::npos) << id;
      EXPECT_GT(start, previous);
      previous = start;
      const std::string_view group = groupOf(svg, id);
      const bool drawn = edge.drawn[i] == '1';
      for (std::string_view kind : {"waveform", "zero", "rms", "average"}) {
        EXPECT_EQ(countOf(group, "class=\"" + std::string(kind) + "\""), drawn ? 1u : 0u) << id;
      }
      if (drawn) {
        EXPECT_NE(group.find("RMS " + columns[7 + i] + " "), std::string_view::npos) << id;
      } else {
        EXPECT_NE(group.find("not drawn"), std::string_view::npos) << id;
      }
    }
  }
}

// The one text of a figure made of it alone: its x attribute and its content as written.
std::pair<std::string, std::string> writtenText(double x, std::string text) {
  Figure figure;
  figure.texts.push_back({{x, 0}, std::move(text), TextRole::Note});
  const std::string svg(FigureSvg(figure));
  const size_t start = svg.find("<text class=\"note\" x=\"") + 22;
  const size_t open = svg.find('>', start);
  const size_t close = svg.find("</text>", open);
  return {svg.substr(start, svg.find('"', start) - start), svg.substr(open + 1, close - open - 1)};
}

// Coordinates in hundredths, half up, without trailing zeros; at every digit count.
TEST(FigureSvg, CoordinatesAreWrittenInHundredths) {
  const struct {
    double value;
    std::string_view written;
  } cases[] = {
      {0, "0"},
      {-0.004, "0"},
      {-0.0, "0"},
      {-1e-300, "0"},
      {-0.005, "-0.01"},
      {0.005, "0.01"},
      {-3.1, "-3.1"},
      {9.999, "10"},
      {12.5, "12.5"},
      {99.5, "99.5"},
      {100, "100"},
      {999.994, "999.99"},
      {999.996, "1000"},
      {1000.25, "1000.25"},
      {65535.5, "65535.5"},
      {123456789, "123456789"},
      {1e12, "1000000000"},
      {-1e12, "-1000000000"},
      {std::nan(""), "0"},
      {7.07, "7.07"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(writtenText(c.value, "").first, c.written) << c.value;
  }
}

// Text is escaped wherever a character that needs it falls, in the middle of a plain run
// or at its ends, and control characters other than tab and line feed are left out.
TEST(FigureSvg, TextIsEscapedWhereverItsCharactersFall) {
  const auto escape = [](std::string_view text) {
    std::string out;
    for (const char c : text) {
      switch (c) {
        case '&':
          out += "&amp;";
          break;
        case '<':
          out += "&lt;";
          break;
        case '>':
          out += "&gt;";
          break;
        case '"':
          out += "&quot;";
          break;
        default:
          if (static_cast<unsigned char>(c) >= 0x20 || c == '\n' || c == '\t') {
            out += c;
          }
      }
    }
    return out;
  };
  // Every length up to past two words, so that the character falls in a whole word, in the
  // few bytes after the last one, or in a text shorter than a word.
  for (const char special : {'&', '<', '>', '"', '\x01', '\x1f', '\n', '\t', '\x7f', '\xc3'}) {
    for (size_t length = 1; length <= 19; ++length) {
      for (size_t at = 0; at < length; ++at) {
        std::string text = "plain text of some length";
        text.resize(length);
        text[at] = special;
        EXPECT_EQ(writtenText(0, text).second, escape(text))
            << "character " << static_cast<int>(special) << " at " << at << " of " << length;
      }
    }
  }
}

// A short copy writes exactly its bytes, whichever of its fixed moves a length takes, and
// nothing on either side.
TEST(FigureSvg, ShortCopiesWriteExactlyTheirBytes) {
  std::string from(48, ' ');
  for (size_t i = 0; i < from.size(); ++i) {
    from[i] = static_cast<char>('a' + i % 26);
  }
  for (size_t size = 0; size <= 40; ++size) {
    std::string to(size + 16, '#');
    copyShort(to.data() + 8, from.data(), size);
    EXPECT_EQ(to, std::string(8, '#') + from.substr(0, size) + std::string(8, '#')) << size;
  }
}

// A figure's primitives stay its own whatever happens to the arena they are in: a figure
// moved into another gives back the other's, and a vector grown past its arena goes on in
// the heap with what it held. Under the sanitizers a block given back twice, or the wrong
// way, fails here.
TEST(FigureArena, PrimitivesOutliveMovesAndOutgrowTheArena) {
  const Pressed first = pressed({"0.5", "1", "1", ".5", "1"});
  const Pressed second = pressed({"4.2", "10", "3", "2.5", "3.5"});
  const std::string expected(FigureSvg(MakeFigure(first.input)));
  Figure figure = MakeFigure(second.input);
  figure = MakeFigure(first.input);
  EXPECT_EQ(std::string(FigureSvg(figure)), expected);
  Figure moved(std::move(figure));
  EXPECT_EQ(std::string(FigureSvg(moved)), expected);

  FigureArena arena;
  FigureVector<Line> lines{FigureAllocator<Line>(&arena)};
  const size_t count = 2 * sizeof arena / sizeof(Line);
  for (size_t i = 0; i < count; ++i) {
    lines.push_back({{static_cast<double>(i), 0}, {0, static_cast<double>(i)}, Stroke::Axis});
  }
  ASSERT_EQ(lines.size(), count);
  for (size_t i = 0; i < count; ++i) {
    ASSERT_EQ(lines[i].from.x, static_cast<double>(i));
    ASSERT_EQ(lines[i].to.y, static_cast<double>(i));
  }
}

// A result text is the caller's, and may hold anything: in a label, in the description
// and in the title's place it is escaped like any other text.
TEST(FigureSvg, AResultTextWithMarkupIsEscaped) {
  Pressed p = pressed({"0.5", "1", "1", ".5", "1"});
  p.input.results[2].text = "<b>1 & \"2\"</b>";
  const std::string svg(FigureSvg(MakeFigure(p.input)));
  EXPECT_EQ(notWellFormed(svg), "");
  EXPECT_EQ(svg.find("<b>"), std::string::npos);
  // Over the RMS line, in the first line of values, and in the description.
  EXPECT_EQ(countOf(svg, "RMS &lt;b&gt;1 &amp; &quot;2&quot;&lt;/b&gt;"), 3u);
}

// The painter reads the style rows, the SVG the style sheet: a row that drifts from its rule
// would paint the desktop's figure differently from the saved one.
std::string declarationOf(std::string_view className, std::string_view property,
                          std::string_view fallback) {
  std::string_view css = kFigureStyleRules;
  for (size_t end; (end = css.find('}')) != std::string_view::npos; css.remove_prefix(end + 1)) {
    const std::string_view rule = css.substr(0, end);
    const std::string_view selectors = rule.substr(0, rule.find('{'));
    const std::string selectorList = "," + std::string(selectors) + ",";
    if (selectorList.find("," + std::string(className) + ",") == std::string::npos) {
      continue;
    }
    const std::string_view body = rule.substr(selectors.size() + 1);
    const std::string key = ";" + std::string(property) + ":";
    const std::string withStart = ";" + std::string(body);
    if (const size_t at = withStart.find(key); at != std::string::npos) {
      const size_t from = at + key.size();
      return withStart.substr(from, withStart.find(';', from) - from);
    }
  }
  return std::string(fallback);
}

std::string cssColour(uint32_t rgb) {
  char hex[8];
  std::snprintf(hex, sizeof hex, "#%06x", static_cast<unsigned>(rgb));
  const std::string_view h(hex);
  if (h[1] == h[2] && h[3] == h[4] && h[5] == h[6]) {
    return {'#', h[1], h[3], h[5]};
  }
  return std::string(h);
}

std::string cssNumber(double value) {
  char text[16];
  std::snprintf(text, sizeof text, "%g", value);
  return text;
}

TEST(FigureStyle, EachPainterRowSaysWhatTheStyleSheetSays) {
  const std::pair<std::string_view, const StrokeStyle*> strokes[] = {
      {".frame", &kFrameStyle},
      {".waveform", &styleOf(Stroke::Waveform)},
      {".zero", &styleOf(Stroke::Zero)},
      {".rms", &styleOf(Stroke::Rms)},
      {".average", &styleOf(Stroke::Average)},
      {".axis", &styleOf(Stroke::Axis)},
      {".peak", &styleOf(Stroke::Peak)},
  };
  for (const auto& [name, style] : strokes) {
    SCOPED_TRACE(name);
    EXPECT_EQ(declarationOf(name, "stroke", "none"), cssColour(style->rgb));
    EXPECT_EQ(declarationOf(name, "stroke-width", "1"), cssNumber(style->width));
    const std::string dash =
        style->dash[0] > 0 ? cssNumber(style->dash[0]) + " " + cssNumber(style->dash[1]) : "none";
    EXPECT_EQ(declarationOf(name, "stroke-dasharray", "none"), dash);
    EXPECT_EQ(declarationOf(name, "stroke-linejoin", "miter"),
              style->roundJoin ? "round" : "miter");
  }
  const std::pair<std::string_view, TextRole> texts[] = {
      {".heading", TextRole::Heading}, {".title", TextRole::Title}, {".value", TextRole::Value},
      {".tick", TextRole::Tick},       {".note", TextRole::Note},
  };
  const std::string size = declarationOf("text", "font-size", "");
  for (const auto& [name, role] : texts) {
    SCOPED_TRACE(name);
    EXPECT_EQ(declarationOf(name, "font-size", size), cssNumber(styleOf(role).pixelSize) + "px");
    EXPECT_EQ(declarationOf(name, "font-weight", "normal"), styleOf(role).bold ? "bold" : "normal");
    // A halo is a stroke of the ground's colour, painted before the letters' fill.
    EXPECT_EQ(declarationOf(name, "stroke-width", "0"), cssNumber(styleOf(role).halo));
    if (styleOf(role).halo > 0) {
      EXPECT_EQ(declarationOf(name, "stroke", ""), cssColour(kFigureGround));
      EXPECT_EQ(declarationOf(name, "paint-order", ""), "stroke");
    }
  }
  EXPECT_EQ(declarationOf("text", "fill", ""), cssColour(kFigureInk));
}

}  // namespace
}  // namespace rms
