// SPDX-License-Identifier: MIT
#include "figure/svg.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>

#include "figure/style.h"

namespace rms {
namespace {

// A piece of markup padded to a fixed size: copied whole in a few moves, then the write
// position advanced by its length, the padding overwritten by what follows.
struct Padded {
  static constexpr size_t kSize = 32;
  std::array<char, kSize> chars;
  size_t size;
};

constexpr Padded padded(std::string_view text) {
  Padded p{{}, text.size()};
  for (size_t i = 0; i < text.size(); ++i) {
    p.chars[i] = text[i];
  }
  return p;
}

// In the order of Stroke: the start of a line of that class.
constexpr std::array<Padded, 6> kLineStarts{{
    padded("<line class=\"waveform\""),
    padded("<line class=\"zero\""),
    padded("<line class=\"rms\""),
    padded("<line class=\"average\""),
    padded("<line class=\"axis\""),
    padded("<line class=\"peak\""),
}};

// In the order of TextRole: the start of a text of that class.
constexpr std::array<Padded, 5> kTextStarts{{
    padded("<text class=\"heading\""),
    padded("<text class=\"title\""),
    padded("<text class=\"value\""),
    padded("<text class=\"tick\""),
    padded("<text class=\"note\""),
}};

// In the order of Anchor: the end of a text's start tag.
constexpr std::array<Padded, 4> kTextAnchors{{
    padded(">"), padded(" text-anchor=\"middle\">"), padded(" text-anchor=\"end\">"),
    padded(" text-anchor=\"start\">"),  // an Anchor out of range
}};

// The row of `e`, or of `fallback` for a value out of range.
template <typename Enum, size_t N>
const Padded& rowOf(const std::array<Padded, N>& rows, Enum e, Enum fallback) {
  const auto i = static_cast<size_t>(e);
  return rows[i < N ? i : static_cast<size_t>(fallback)];
}

// What stands for a character that may not appear as itself in text: an entity, or
// nothing for a control character (not allowed in XML 1.0).
constexpr std::array<Padded, 5> kEntities{{
    padded("&amp;"),
    padded("&lt;"),
    padded("&gt;"),
    padded("&quot;"),
    padded(""),
}};

const Padded& entityOf(char c) {
  switch (c) {
    case '&':
      return kEntities[0];
    case '<':
      return kEntities[1];
    case '>':
      return kEntities[2];
    case '"':
      return kEntities[3];
    default:
      return kEntities[4];
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

// "00" to "99", for writing two digits at a time.
constexpr std::array<char, 200> kDigitPairs = [] {
  std::array<char, 200> pairs{};
  for (int i = 0; i < 100; ++i) {
    pairs[static_cast<size_t>(2 * i)] = static_cast<char>('0' + i / 10);
    pairs[static_cast<size_t>(2 * i + 1)] = static_cast<char>('0' + i % 10);
  }
  return pairs;
}();

int digitCount(uint32_t n) {
  int digits = 1;
  for (uint32_t bound = 10; digits < 10 && n >= bound; bound *= 10) {
    ++digits;
  }
  return digits;
}

// How many characters the hundredths 0 to 99 take after the point: ".5" drops the 0 of
// ".50", and no fraction at all takes none.
constexpr std::array<uint8_t, 100> kFractionLength = [] {
  std::array<uint8_t, 100> lengths{};
  for (size_t i = 1; i < lengths.size(); ++i) {
    lengths[i] = i % 10 == 0 ? 2 : 3;
  }
  return lengths;
}();

// In hundredths, from integers: no locale and no float formatting of the library decide
// the digits. Writes at most kNumberChars characters at `to` and returns their end.
char* writeAnyNumber(char* to, double value) {
  constexpr double kLimit = 1e9;
  if (!(value > -kLimit && value < kLimit)) {
    value = value >= kLimit ? kLimit : value <= -kLimit ? -kLimit : 0;  // NaN is 0
  }
  // Rounded half up: the conversion truncates, which is the floor of a value not below 0.
  // At most 10^11, it fits the signed conversion, which is one instruction.
  const auto hundredths = static_cast<int64_t>(std::fabs(value) * 100 + 0.5);
  char* at = to;
  if (value < 0 && hundredths != 0) {
    *at++ = '-';
  }
  // The whole part is at most 10^9 and fits 32 bits; a coordinate has three digits or so.
  const int64_t wholeHundredths = hundredths / 100;
  const auto fraction = static_cast<unsigned>(hundredths - wholeHundredths * 100);
  auto whole = static_cast<uint32_t>(wholeHundredths);
  at += whole < 10 ? 1 : whole < 100 ? 2 : whole < 1000 ? 3 : digitCount(whole);
  char* digit = at;
  while (whole >= 100) {
    digit -= 2;
    std::memcpy(digit, &kDigitPairs[2 * (whole % 100)], 2);
    whole /= 100;
  }
  if (whole >= 10) {
    std::memcpy(digit - 2, &kDigitPairs[2 * whole], 2);
  } else {
    digit[-1] = static_cast<char>('0' + whole);
  }
  if (fraction != 0) {
    *at++ = '.';
    *at++ = kDigitPairs[2 * fraction];
    if (fraction % 10 != 0) {
      *at++ = kDigitPairs[2 * fraction + 1];
    }
  }
  return at;
}

// writeAnyNumber for a coordinate: below 1000 in size, in 32 bits and without a loop. The
// same sum rounds, so the digits are the same.
inline char* writeNumber(char* to, double value) {
  const double scaled = std::fabs(value) * 100 + 0.5;
  if (!(scaled < 100000)) {
    return writeAnyNumber(to, value);  // 1000 or more, or not a number
  }
  const auto hundredths = static_cast<uint32_t>(static_cast<int32_t>(scaled));
  char* at = to;
  if (value < 0 && hundredths != 0) {
    *at++ = '-';
  }
  const uint32_t whole = hundredths / 100;
  const uint32_t fraction = hundredths - whole * 100;
  if (whole < 10) {
    *at++ = static_cast<char>('0' + whole);
  } else if (whole < 100) {
    std::memcpy(at, &kDigitPairs[2 * whole], 2);
    at += 2;
  } else {
    *at = static_cast<char>('0' + whole / 100);
    std::memcpy(at + 1, &kDigitPairs[2 * (whole % 100)], 2);
    at += 3;
  }
  at[0] = '.';
  std::memcpy(at + 1, &kDigitPairs[2 * fraction], 2);
  return at + kFractionLength[fraction];
}

// Whether any of the eight bytes of `word` may need escaping: a control character (a tab or
// a line feed among them, which the byte-wise look-up then lets through) or & < > ". The
// pairs " & and < > differ in one bit each, so setting that bit finds both of a pair.
bool mayNeedEscape(uint64_t word) {
  constexpr uint64_t kOnes = 0x0101010101010101;
  constexpr uint64_t kHighs = 0x8080808080808080;
  const auto zeroByte = [](uint64_t x) { return (x - kOnes) & ~x & kHighs; };
  const uint64_t control = (word - 0x20 * kOnes) & ~word & kHighs;
  const uint64_t quoteOrAmpersand = zeroByte((word | 0x04 * kOnes) ^ ('&' * kOnes));
  const uint64_t angle = zeroByte((word | 0x02 * kOnes) ^ ('>' * kOnes));
  return (control | quoteOrAmpersand | angle) != 0;
}

// The document, written through a pointer into a buffer kept longer than what is written:
// a literal is copied with its length known when compiled, a number in place.
class Writer {
 public:
  Writer() { grow(32 * 1024); }

  std::string finish() && { return {buffer_.get(), static_cast<size_t>(at_ - buffer_.get())}; }

  // Each element reserves room for the most it can write, once, and is then written with
  // the unchecked pieces further down.
  template <size_t N>
  void put(const char (&literal)[N]) {
    room(N - 1);
    raw(literal);
  }
  void put(std::string_view piece) {
    room(piece.size());
    std::memcpy(at_, piece.data(), piece.size());
    at_ += piece.size();
  }
  void put(char c) {
    room(1);
    *at_++ = c;
  }
  void number(double value) {
    room(kNumberChars);
    at_ = writeNumber(at_, value);
  }
  template <size_t N>
  void attribute(const char (&name)[N], double value) {
    room(N + 3 + kNumberChars);
    rawAttribute(name, value);
  }
  void escaped(std::string_view text) {
    room(escapedRoom(text));
    rawEscaped(text);
  }

  void line(const Line& line) {
    room(Padded::kSize + 4 * kAttributeRoom + 3);
    raw(rowOf(kLineStarts, line.stroke, Stroke::Axis));
    rawAttribute("x1", line.from.x);
    rawAttribute("y1", line.from.y);
    rawAttribute("x2", line.to.x);
    rawAttribute("y2", line.to.y);
    raw("/>\n");
  }
  // An axis line as a move and a line of the axes' one path.
  void axisLine(const Line& line, bool first) {
    room(32 + 2 * kPointRoom + 1);
    if (first) {
      raw("<path class=\"axis\" d=\"M");
    } else {
      *at_++ = 'M';
    }
    rawPoint(line.from);
    *at_++ = 'L';
    rawPoint(line.to);
  }
  void path(const Path& path) {
    room(32 + kPointRoom);
    raw("<path class=\"waveform\" d=\"M");
    rawPoint(path.start);
    for (const PathStep& step : path.steps) {
      room(2 + 3 * (kPointRoom + 1));
      if (step.cubic) {
        raw(" C");
        rawPoint(step.c1);
        *at_++ = ' ';
        rawPoint(step.c2);
        *at_++ = ' ';
      } else {
        raw(" L");
      }
      rawPoint(step.to);
    }
    put("\"/>\n");
  }
  void text(const Text& text) {
    room(2 * Padded::kSize + 2 * kAttributeRoom + escapedRoom(text.text) + 8);
    raw(rowOf(kTextStarts, text.role, TextRole::Note));
    rawAttribute("x", text.at.x);
    rawAttribute("y", text.at.y);
    raw(rowOf(kTextAnchors, text.anchor, static_cast<Anchor>(3)));
    rawEscaped(text.text);
    raw("</text>\n");
  }
  void mark(const Mark& mark) {
    room(20 + 3 * kAttributeRoom + 3);
    raw("<circle class=\"peak\"");
    rawAttribute("cx", mark.at.x);
    rawAttribute("cy", mark.at.y);
    rawAttribute("r", mark.radius);
    raw("/>\n");
  }

 private:
  // The most an attribute of a name of two letters or fewer, or a point, writes.
  static constexpr size_t kAttributeRoom = 6 + kNumberChars;
  static constexpr size_t kPointRoom = 2 * kNumberChars + 1;
  // An entity is at most six characters for one, and eight bytes are copied at a time.
  static size_t escapedRoom(std::string_view text) { return 6 * text.size() + sizeof(uint64_t); }

  template <size_t N>
  void raw(const char (&literal)[N]) {
    std::memcpy(at_, literal, N - 1);
    at_ += N - 1;
  }
  void raw(const Padded& piece) {
    std::memcpy(at_, piece.chars.data(), Padded::kSize);
    at_ += piece.size;
  }
  template <size_t N>
  void rawAttribute(const char (&name)[N], double value) {
    *at_++ = ' ';
    std::memcpy(at_, name, N - 1);
    at_ += N - 1;
    *at_++ = '=';
    *at_++ = '"';
    at_ = writeNumber(at_, value);
    *at_++ = '"';
  }
  void rawPoint(Point p) {
    at_ = writeNumber(at_, p.x);
    *at_++ = ',';
    at_ = writeNumber(at_, p.y);
  }
  // Eight bytes at a time past the plain stretches of text, each copied as it is checked:
  // the description is long, and hardly a character of it needs an entity.
  void rawEscaped(std::string_view text) {
    const char* from = text.data();
    const char* const end = from + text.size();
    while (from != end) {
      uint64_t word;
      if (end - from >= static_cast<ptrdiff_t>(sizeof word)) {
        std::memcpy(&word, from, sizeof word);
        if (!mayNeedEscape(word)) {
          std::memcpy(at_, &word, sizeof word);
          at_ += sizeof word;
          from += sizeof word;
          continue;
        }
      }
      const char* const stop = std::min(end, from + sizeof word);
      for (; from < stop; ++from) {
        const char c = *from;
        if (kNeedsEscape[static_cast<unsigned char>(c)]) {
          const Padded& entity = entityOf(c);
          std::memcpy(at_, entity.chars.data(), 8);
          at_ += entity.size;
        } else {
          *at_++ = c;
        }
      }
    }
  }

  void room(size_t size) {
    if (static_cast<size_t>(end_ - at_) < size) {
      grow(size);
    }
  }
  // Left uninitialised: every byte up to at_ is written before it is read.
  void grow(size_t size) {
    const size_t used = static_cast<size_t>(at_ - buffer_.get());
    const size_t capacity = std::max(2 * static_cast<size_t>(end_ - buffer_.get()), used + size);
    std::unique_ptr<char[]> bigger(new char[capacity]);
    if (used != 0) {
      std::memcpy(bigger.get(), buffer_.get(), used);
    }
    buffer_ = std::move(bigger);
    at_ = buffer_.get() + used;
    end_ = buffer_.get() + capacity;
  }

  std::unique_ptr<char[]> buffer_;
  char* at_ = nullptr;
  char* end_ = nullptr;
};

}  // namespace

std::string FigureSvg(const Figure& figure) {
  Writer w;
  w.put("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\"");
  w.attribute("width", figure.width);
  w.attribute("height", figure.height);
  w.put(" viewBox=\"0 0 ");
  w.number(figure.width);
  w.put(' ');
  w.number(figure.height);
  w.put("\" role=\"img\" aria-labelledby=\"figure-title\" aria-describedby=\"figure-desc\">\n");
  w.put("<title id=\"figure-title\">");
  w.escaped(figure.title);
  w.put("</title>\n<desc id=\"figure-desc\">");
  w.escaped(figure.description);
  w.put("</desc>\n<style>");
  w.put(kFigureStyleRules);
  w.put("</style>\n<rect width=\"100%\" height=\"100%\" fill=\"#fff\"/>\n");
  for (const Text& text : figure.texts) {
    w.text(text);
  }
  for (const Panel& panel : figure.panels) {
    w.put("<g id=\"");
    w.put(panel.id);
    w.put("\">\n<rect class=\"frame\"");
    w.attribute("x", panel.left);
    w.attribute("y", panel.top);
    w.attribute("width", panel.width);
    w.attribute("height", panel.height);
    w.put("/>\n");
    // The axes and their ticks in one path: a tenth of the bytes of a line each.
    bool axes = false;
    for (const Line& line : panel.lines) {
      if (line.stroke != Stroke::Axis) {
        continue;
      }
      w.axisLine(line, !axes);
      axes = true;
    }
    if (axes) {
      w.put("\"/>\n");
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
    w.put("</g>\n");
  }
  w.put("</svg>\n");
  return std::move(w).finish();
}

}  // namespace rms
