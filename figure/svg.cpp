// SPDX-License-Identifier: MIT
#include "figure/svg.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>

#include "figure/style.h"

namespace rms {
namespace {

std::string_view classOf(Stroke stroke) {
  switch (stroke) {
    case Stroke::Waveform:
      return "waveform";
    case Stroke::Zero:
      return "zero";
    case Stroke::Rms:
      return "rms";
    case Stroke::Average:
      return "average";
    case Stroke::Axis:
      return "axis";
    case Stroke::Peak:
      return "peak";
  }
  return "axis";  // not reached
}

std::string_view classOf(TextRole role) {
  switch (role) {
    case TextRole::Heading:
      return "heading";
    case TextRole::Title:
      return "title";
    case TextRole::Value:
      return "value";
    case TextRole::Tick:
      return "tick";
    case TextRole::Note:
      return "note";
  }
  return "note";  // not reached
}

std::string_view anchorOf(Anchor anchor) {
  switch (anchor) {
    case Anchor::Start:
      return "start";
    case Anchor::Middle:
      return "middle";
    case Anchor::End:
      return "end";
  }
  return "start";  // not reached
}

// What stands for a character that may not appear as itself in text: an entity, or
// nothing for a control character (not allowed in XML 1.0).
constexpr std::string_view entityOf(char c) {
  switch (c) {
    case '&':
      return "&amp;";
    case '<':
      return "&lt;";
    case '>':
      return "&gt;";
    case '"':
      return "&quot;";
    default:
      return "";
  }
}

// One look-up per character: the texts are mostly plain, and the description is long.
constexpr std::array<bool, 256> kNeedsEscape = [] {
  std::array<bool, 256> needs{};
  for (int c = 0; c < 0x20; ++c) {
    needs[c] = c != '\n' && c != '\t';
  }
  for (char c : {'&', '<', '>', '"'}) {
    needs[static_cast<unsigned char>(c)] = true;
  }
  return needs;
}();

constexpr size_t kNumberChars = 16;

// In hundredths, from integers: no locale and no float formatting of the library decide
// the digits. Writes at most kNumberChars characters at `to` and returns their end.
char* writeNumber(char* to, double value) {
  constexpr double kLimit = 1e9;
  if (!(value > -kLimit && value < kLimit)) {
    value = value >= kLimit ? kLimit : value <= -kLimit ? -kLimit : 0;  // NaN is 0
  }
  const double scaled = std::floor(std::fabs(value) * 100 + 0.5);
  const auto hundredths = static_cast<uint64_t>(scaled);
  char* at = to;
  if (value < 0 && scaled != 0) {
    *at++ = '-';
  }
  // The whole part is at most 10^9 and fits 32 bits, whose conversion is the cheaper.
  at = std::to_chars(at, to + kNumberChars, static_cast<uint32_t>(hundredths / 100)).ptr;
  const auto fraction = static_cast<unsigned>(hundredths % 100);
  if (fraction != 0) {
    *at++ = '.';
    *at++ = static_cast<char>('0' + fraction / 10);
    if (fraction % 10 != 0) {
      *at++ = static_cast<char>('0' + fraction % 10);
    }
  }
  return at;
}

// A few pieces gathered on the stack and appended to the document at once. Only this
// file's own short literals and numbers go in, never a text.
struct Chunk {
  std::array<char, 128> chars;
  size_t size = 0;

  void put(std::string_view piece) {
    std::copy(piece.begin(), piece.end(), chars.begin() + static_cast<ptrdiff_t>(size));
    size += piece.size();
  }
  void number(double value) {
    size = static_cast<size_t>(writeNumber(chars.data() + size, value) - chars.data());
  }
  void attribute(std::string_view name, double value) {
    put(" ");
    put(name);
    put("=\"");
    number(value);
    put("\"");
  }
  void point(Point p) {
    number(p.x);
    put(",");
    number(p.y);
  }
  std::string_view view() const { return {chars.data(), size}; }
};

class Writer {
 public:
  std::string out;

  void number(double value) {
    Chunk chunk;
    chunk.number(value);
    out += chunk.view();
  }
  void attribute(std::string_view name, double value) {
    Chunk chunk;
    chunk.attribute(name, value);
    out += chunk.view();
  }
  void escaped(std::string_view text) {
    size_t plain = 0;
    for (size_t i = 0; i < text.size(); ++i) {
      const auto c = static_cast<unsigned char>(text[i]);
      if (!kNeedsEscape[c]) {
        continue;
      }
      out.append(text.substr(plain, i - plain));
      out.append(entityOf(text[i]));
      plain = i + 1;
    }
    out.append(text.substr(plain));
  }

  void line(const Line& line) {
    out += "<line class=\"";
    out += classOf(line.stroke);
    out += '"';
    attribute("x1", line.from.x);
    attribute("y1", line.from.y);
    attribute("x2", line.to.x);
    attribute("y2", line.to.y);
    out += "/>\n";
  }
  void path(const Path& path) {
    Chunk start;
    start.put("<path class=\"waveform\" d=\"M");
    start.point(path.start);
    out += start.view();
    for (const PathStep& step : path.steps) {
      Chunk chunk;
      chunk.put(step.cubic ? " C" : " L");
      if (step.cubic) {
        chunk.point(step.c1);
        chunk.put(" ");
        chunk.point(step.c2);
        chunk.put(" ");
      }
      chunk.point(step.to);
      out += chunk.view();
    }
    out += "\"/>\n";
  }
  void text(const Text& text) {
    Chunk start;
    start.put("<text class=\"");
    start.put(classOf(text.role));
    start.put("\"");
    start.attribute("x", text.at.x);
    start.attribute("y", text.at.y);
    if (text.anchor != Anchor::Start) {
      start.put(" text-anchor=\"");
      start.put(anchorOf(text.anchor));
      start.put("\"");
    }
    start.put(">");
    out += start.view();
    escaped(text.text);
    out += "</text>\n";
  }
  void mark(const Mark& mark) {
    out += "<circle class=\"peak\"";
    attribute("cx", mark.at.x);
    attribute("cy", mark.at.y);
    attribute("r", mark.radius);
    out += "/>\n";
  }
};

}  // namespace

std::string FigureSvg(const Figure& figure) {
  Writer w;
  w.out.reserve(32 * 1024);
  w.out += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\"";
  w.attribute("width", figure.width);
  w.attribute("height", figure.height);
  w.out += " viewBox=\"0 0 ";
  w.number(figure.width);
  w.out += ' ';
  w.number(figure.height);
  w.out += "\" role=\"img\" aria-labelledby=\"figure-title\" aria-describedby=\"figure-desc\">\n";
  w.out += "<title id=\"figure-title\">";
  w.escaped(figure.title);
  w.out += "</title>\n<desc id=\"figure-desc\">";
  w.escaped(figure.description);
  w.out += "</desc>\n";
  w.out += "<style>";
  w.out += kFigureStyleRules;
  w.out += "</style>\n";
  w.out += "<rect width=\"100%\" height=\"100%\" fill=\"#fff\"/>\n";
  for (const Text& text : figure.texts) {
    w.text(text);
  }
  for (const Panel& panel : figure.panels) {
    w.out += "<g id=\"";
    w.out += panel.id;
    w.out += "\">\n<rect class=\"frame\"";
    w.attribute("x", panel.left);
    w.attribute("y", panel.top);
    w.attribute("width", panel.width);
    w.attribute("height", panel.height);
    w.out += "/>\n";
    // The axes and their ticks in one path: a tenth of the bytes of a line each.
    bool axes = false;
    for (const Line& line : panel.lines) {
      if (line.stroke != Stroke::Axis) {
        continue;
      }
      Chunk step;
      step.put(axes ? "M" : "<path class=\"axis\" d=\"M");
      axes = true;
      step.point(line.from);
      step.put("L");
      step.point(line.to);
      w.out += step.view();
    }
    if (axes) {
      w.out += "\"/>\n";
    }
    for (const Line& line : panel.lines) {
      if (line.stroke != Stroke::Axis) {
        w.line(line);
      }
    }
    for (const Path& path : panel.paths) {
      w.path(path);
    }
    for (const Mark& mark : panel.marks) {
      w.mark(mark);
    }
    for (const Text& text : panel.texts) {
      w.text(text);
    }
    w.out += "</g>\n";
  }
  w.out += "</svg>\n";
  return std::move(w.out);
}

}  // namespace rms
