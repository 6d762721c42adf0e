// SPDX-License-Identifier: MIT
#include "figure/svg.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>

namespace rms {
namespace {

// Line styles tell the lines apart without colour: solid, dashed, dotted. Every stroke is
// at least 7:1 against the white ground.
constexpr std::string_view kStyleRules =
    "text{font-family:sans-serif;font-size:11px;fill:#000}"
    ".heading{font-size:13px;font-weight:bold}.title{font-weight:bold}.tick,.value{font-size:10px}"
    ".frame{fill:none;stroke:#555}"
    ".waveform{fill:none;stroke:#000;stroke-width:2;stroke-linejoin:round}"
    ".axis{fill:none;stroke:#000;stroke-width:1}"
    ".zero{stroke:#444;stroke-width:1}"
    ".rms{stroke:#a4001d;stroke-width:1.5;stroke-dasharray:8 4}"
    ".average{stroke:#0a4a94;stroke-width:1.5;stroke-dasharray:2 3}"
    ".peak{fill:none;stroke:#000;stroke-width:1.5}";

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

class Writer {
 public:
  std::string out;

  // In hundredths, from integers: no locale and no float formatting of the library decide
  // the digits.
  void number(double value) {
    constexpr double kLimit = 1e9;
    if (!(value > -kLimit && value < kLimit)) {
      value = value >= kLimit ? kLimit : value <= -kLimit ? -kLimit : 0;  // NaN is 0
    }
    const double scaled = std::floor(std::fabs(value) * 100 + 0.5);
    auto hundredths = static_cast<uint64_t>(scaled);
    char digits[24];
    char* end = digits + sizeof digits;
    char* at = end;
    const unsigned fraction = static_cast<unsigned>(hundredths % 100);
    hundredths /= 100;
    if (fraction != 0) {
      if (fraction % 10 != 0) {
        *--at = static_cast<char>('0' + fraction % 10);
      }
      *--at = static_cast<char>('0' + fraction / 10);
      *--at = '.';
    }
    do {
      *--at = static_cast<char>('0' + hundredths % 10);
      hundredths /= 10;
    } while (hundredths != 0);
    if (value < 0 && (scaled != 0)) {
      *--at = '-';
    }
    out.append(at, end);
  }
  void attribute(std::string_view name, double value) {
    out += ' ';
    out += name;
    out += "=\"";
    number(value);
    out += '"';
  }
  void point(Point p) {
    number(p.x);
    out += ',';
    number(p.y);
  }
  void escaped(std::string_view text) {
    size_t plain = 0;
    for (size_t i = 0; i < text.size(); ++i) {
      const char c = text[i];
      std::string_view entity;
      switch (c) {
        case '&':
          entity = "&amp;";
          break;
        case '<':
          entity = "&lt;";
          break;
        case '>':
          entity = "&gt;";
          break;
        case '"':
          entity = "&quot;";
          break;
        default:
          // Control characters are not allowed in XML 1.0.
          if (static_cast<unsigned char>(c) >= 0x20 || c == '\n' || c == '\t') {
            continue;
          }
      }
      out.append(text.substr(plain, i - plain));
      out.append(entity);
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
    out += "<path class=\"waveform\" d=\"M";
    point(path.start);
    for (const PathStep& step : path.steps) {
      if (step.cubic) {
        out += " C";
        point(step.c1);
        out += ' ';
        point(step.c2);
        out += ' ';
      } else {
        out += " L";
      }
      point(step.to);
    }
    out += "\"/>\n";
  }
  void text(const Text& text) {
    out += "<text class=\"";
    out += classOf(text.role);
    out += '"';
    attribute("x", text.at.x);
    attribute("y", text.at.y);
    if (text.anchor != Anchor::Start) {
      out += " text-anchor=\"";
      out += anchorOf(text.anchor);
      out += '"';
    }
    out += '>';
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

std::string_view FigureStyleRules() {
  return kStyleRules;
}

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
  w.out += kStyleRules;
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
      w.out += axes ? "M" : "<path class=\"axis\" d=\"M";
      axes = true;
      w.point(line.from);
      w.out += 'L';
      w.point(line.to);
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
