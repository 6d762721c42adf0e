// SPDX-License-Identifier: MIT
#include "figure/svg.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>

#include "figure/fast.h"
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

int digitCount(uint32_t n) {
  int digits = 1;
  for (uint32_t bound = 10; digits < 10 && n >= bound; bound *= 10) {
    ++digits;
  }
  return digits;
}

// Up to three characters and, in the fourth byte, how many they are: one load, then copied
// whole in one move and the write position advanced by the count. The fourth byte is
// overwritten by what follows.
using Short = uint32_t;

Short shortOf(std::string_view chars) {
  const char bytes[4] = {chars.size() > 0 ? chars[0] : '\0', chars.size() > 1 ? chars[1] : '\0',
                         chars.size() > 2 ? chars[2] : '\0', static_cast<char>(chars.size())};
  Short s = 0;
  std::memcpy(&s, bytes, sizeof s);
  return s;
}

// The count in the fourth byte, wherever the host keeps it in the word.
size_t sizeOf(Short s) {
  return std::endian::native == std::endian::little ? s >> 24 : s & 0xff;
}

// The whole pixels 0 to 999 and the hundredths 0 to 99 of a coordinate (".5" drops the 0 of
// ".50", no fraction writes nothing). Made when the program starts rather than when it is
// compiled: as data they would add their 4 KB to the page's download.
struct CoordinateParts {
  std::array<Short, 1000> wholes;
  std::array<Short, 100> fractions;
};

CoordinateParts makeCoordinateParts() {
  CoordinateParts parts{};
  for (uint32_t n = 0; n < parts.wholes.size(); ++n) {
    const char digits[] = {static_cast<char>('0' + n / 100), static_cast<char>('0' + n / 10 % 10),
                           static_cast<char>('0' + n % 10)};
    const size_t first = n >= 100 ? 0 : n >= 10 ? 1 : 2;
    parts.wholes[n] = shortOf(std::string_view(digits + first, 3 - first));
  }
  parts.fractions[0] = shortOf("");
  for (uint32_t n = 1; n < parts.fractions.size(); ++n) {
    const char digits[] = {'.', static_cast<char>('0' + n / 10), static_cast<char>('0' + n % 10)};
    parts.fractions[n] = shortOf(std::string_view(digits, n % 10 == 0 ? 2 : 3));
  }
  return parts;
}

// Made once, when first needed: no figure is written while the program starts.
const CoordinateParts& coordinateParts() {
  static const CoordinateParts parts = makeCoordinateParts();
  return parts;
}

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
  const auto whole = static_cast<uint32_t>(wholeHundredths);
  at += whole < 10 ? 1 : whole < 100 ? 2 : whole < 1000 ? 3 : digitCount(whole);
  writeDigitsBefore(at, whole);
  if (fraction != 0) {
    *at++ = '.';
    *at++ = kDigitPairs[2 * fraction];
    if (fraction % 10 != 0) {
      *at++ = kDigitPairs[2 * fraction + 1];
    }
  }
  return at;
}

// writeAnyNumber for a coordinate from 0 to below 1000, in two look-ups and without a
// branch on its digits. The same sum rounds, so the digits are the same.
inline char* writeNumber(char* to, double value, const CoordinateParts& parts) {
  const double scaled = value * 100 + 0.5;
  if (!(value >= 0 && scaled < 100000)) [[unlikely]] {
    return writeAnyNumber(to, value);  // negative, 1000 or more, or not a number
  }
  const auto hundredths = static_cast<uint32_t>(static_cast<int32_t>(scaled));
  const uint32_t whole = hundredths / 100;
  const Short wholePart = parts.wholes[whole];
  const Short fraction = parts.fractions[hundredths - whole * 100];
  std::memcpy(to, &wholePart, sizeof wholePart);
  to += sizeOf(wholePart);
  std::memcpy(to, &fraction, sizeof fraction);
  return to + sizeOf(fraction);
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
// a literal is copied with its length known when compiled, a number in place. Each element
// reserves room for the most it can write, once, and is then written through a local copy
// of the position: a write through a char pointer may alias the writer itself, so a member
// position would be loaded and stored again around every character.
class Writer {
 public:
  explicit Writer(bool plain) : plain_(plain) { grow(32 * 1024); }

  SvgDocument finish() && {
    const auto size = static_cast<size_t>(at_ - buffer_.get());
    return {std::move(buffer_), size};
  }

  template <size_t N>
  void put(const char (&literal)[N]) {
    room(N - 1);
    raw(at_, literal);
  }
  void put(std::string_view piece) {
    room(piece.size());
    copyShort(at_, piece.data(), piece.size());
    at_ += piece.size();
  }
  void put(char c) {
    room(1);
    *at_++ = c;
  }
  void number(double value) {
    room(kNumberChars);
    at_ = writeNumber(at_, value, parts_);
  }
  template <size_t N>
  void attribute(const char (&name)[N], double value) {
    room(N + 3 + kNumberChars);
    char* at = at_;
    rawAttribute(at, name, value);
    at_ = at;
  }
  void escaped(std::string_view text) {
    room(escapedRoom(text));
    char* at = at_;
    rawText(at, text);
    at_ = at;
  }

  void line(const Line& line) {
    room(Padded::kSize + 4 * kAttributeRoom + 3);
    char* at = at_;
    raw(at, rowOf(kLineStarts, line.stroke, Stroke::Axis));
    rawAttribute(at, "x1", line.from.x);
    rawAttribute(at, "y1", line.from.y);
    rawAttribute(at, "x2", line.to.x);
    rawAttribute(at, "y2", line.to.y);
    raw(at, "/>\n");
    at_ = at;
  }
  // An axis line as a move and a line of the axes' one path; a level or upright one, as
  // every axis and tick is, as a move and its length.
  void axisLine(const Line& line, bool first) {
    room(32 + 2 * kPointRoom + 1);
    char* at = at_;
    if (first) {
      raw(at, "<path class=\"axis\" d=\"M");
    } else {
      *at++ = 'M';
    }
    rawPoint(at, line.from);
    if (line.from.y == line.to.y) {
      *at++ = 'h';
      at = writeNumber(at, line.to.x - line.from.x, parts_);
    } else if (line.from.x == line.to.x) {
      *at++ = 'v';
      at = writeNumber(at, line.to.y - line.from.y, parts_);
    } else {
      *at++ = 'L';
      rawPoint(at, line.to);
    }
    at_ = at;
  }
  void path(const Path& path) {
    constexpr size_t kStepRoom = 2 + 3 * (kPointRoom + 1);
    room(32 + kPointRoom + path.steps.size() * kStepRoom + 4);
    char* at = at_;
    raw(at, "<path class=\"waveform\" d=\"M");
    rawPoint(at, path.start);
    for (const PathStep& step : path.steps) {
      if (step.cubic) {
        raw(at, " C");
        rawPoint(at, step.c1);
        *at++ = ' ';
        rawPoint(at, step.c2);
        *at++ = ' ';
      } else {
        raw(at, " L");
      }
      rawPoint(at, step.to);
    }
    raw(at, "\"/>\n");
    at_ = at;
  }
  void text(const Text& text) {
    room(2 * Padded::kSize + 2 * kAttributeRoom + escapedRoom(text.text) + 8);
    char* at = at_;
    raw(at, rowOf(kTextStarts, text.role, TextRole::Note));
    rawAttribute(at, "x", text.at.x);
    rawAttribute(at, "y", text.at.y);
    raw(at, rowOf(kTextAnchors, text.anchor, static_cast<Anchor>(3)));
    rawText(at, text.text);
    raw(at, "</text>\n");
    at_ = at;
  }
  void mark(const Mark& mark) {
    room(20 + 3 * kAttributeRoom + 3);
    char* at = at_;
    raw(at, "<circle class=\"peak\"");
    rawAttribute(at, "cx", mark.at.x);
    rawAttribute(at, "cy", mark.at.y);
    rawAttribute(at, "r", mark.radius);
    raw(at, "/>\n");
    at_ = at;
  }

 private:
  // The most an attribute of a name of two letters or fewer, or a point, writes.
  static constexpr size_t kAttributeRoom = 6 + kNumberChars;
  static constexpr size_t kPointRoom = 2 * kNumberChars + 1;
  // An entity is at most six characters for one, and eight bytes are copied at a time.
  static size_t escapedRoom(std::string_view text) { return 6 * text.size() + sizeof(uint64_t); }

  template <size_t N>
  static void raw(char*& at, const char (&literal)[N]) {
    std::memcpy(at, literal, N - 1);
    at += N - 1;
  }
  static void raw(char*& at, const Padded& piece) {
    std::memcpy(at, piece.chars.data(), Padded::kSize);
    at += piece.size;
  }
  template <size_t N>
  void rawAttribute(char*& at, const char (&name)[N], double value) const {
    *at++ = ' ';
    std::memcpy(at, name, N - 1);
    at += N - 1;
    at[0] = '=';
    at[1] = '"';
    at = writeNumber(at + 2, value, parts_);
    *at++ = '"';
  }
  void rawPoint(char*& at, Point p) const {
    at = writeNumber(at, p.x, parts_);
    *at++ = ',';
    at = writeNumber(at, p.y, parts_);
  }
  // A figure's text: copied as it is when the figure holds only plain texts, as most do.
  void rawText(char*& at, std::string_view text) const {
    if (plain_) {
      copyShort(at, text.data(), text.size());
      at += text.size();
    } else {
      rawEscaped(at, text);
    }
  }
  // Eight bytes at a time past the plain stretches of text, each copied as it is checked:
  // the description is long, and hardly a character of it needs an entity. The last few
  // bytes of a text of a word or more are checked as the word that ends with them.
  static void rawEscaped(char*& at, std::string_view text) {
    constexpr size_t kWord = sizeof(uint64_t);
    const char* from = text.data();
    const char* const end = from + text.size();
    uint64_t word;
    for (; static_cast<size_t>(end - from) >= kWord; from += kWord) {
      std::memcpy(&word, from, kWord);
      if (mayNeedEscape(word)) {
        rawEscapedBytes(at, from, from + kWord);
      } else {
        std::memcpy(at, &word, kWord);
        at += kWord;
      }
    }
    if (from == end) {
      return;
    }
    const auto rest = static_cast<size_t>(end - from);
    if (text.size() >= kWord) {
      std::memcpy(&word, end - kWord, kWord);
      if (!mayNeedEscape(word)) {
        // Its first bytes are plain too, so they are the last ones written, as they are.
        std::memcpy(at - (kWord - rest), &word, kWord);
        at += rest;
        return;
      }
    }
    rawEscapedBytes(at, from, end);
  }
  static void rawEscapedBytes(char*& at, const char* from, const char* end) {
    for (; from < end; ++from) {
      const char c = *from;
      if (kNeedsEscape[static_cast<unsigned char>(c)]) {
        const Padded& entity = entityOf(c);
        std::memcpy(at, entity.chars.data(), 8);
        at += entity.size;
      } else {
        *at++ = c;
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

  const bool plain_;
  const CoordinateParts& parts_ = coordinateParts();
  std::unique_ptr<char[]> buffer_;
  char* at_ = nullptr;
  char* end_ = nullptr;
};

}  // namespace

RMS_FIGURE_FLATTEN SvgDocument FigureSvg(const Figure& figure) {
  Writer w(figure.plainTexts);
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
