// SPDX-License-Identifier: MIT
// The conversions as a table of cases: `write FILE` computes them (on a build whose
// standard library converts floats itself), `check FILE` computes every case again and
// reports each that comes out differently. The WebAssembly build, which converts
// through fast_float and {fmt} instead, must reproduce the whole table.
//
// One case a line, tab-separated: kind, decimal separator, input, expected.
//   S  a text read as a single: its bits, or "error N"
//   F  the bits of a single written as text
//   D  the bits of a double written as text
// Texts hold no tab or newline.

#include <algorithm>
#include <cinttypes>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <random>
#include <string>

#include "runtime/conversions.h"
#include "runtime/failure.h"

namespace rms {
namespace {

// bitCast's work; the WebAssembly build's standard library lacks it.
template <typename To, typename From>
To bitCast(From from) {
  static_assert(sizeof(To) == sizeof(From));
  To to;
  std::memcpy(&to, &from, sizeof to);
  return to;
}

std::string hex(uint64_t bits, int digits) {
  char buffer[17];
  std::snprintf(buffer, sizeof buffer, "%0*" PRIx64, digits, bits);
  return buffer;
}

std::string readCase(const std::string& text, char separator) {
  try {
    return hex(bitCast<uint32_t>(TextToSingle(text, separator)), 8);
  } catch (const Failure& f) {
    return "error " + std::to_string(static_cast<int>(f.number()));
  }
}

std::string expected(char kind, char separator, const std::string& input) {
  switch (kind) {
    case 'S':
      return readCase(input, separator);
    case 'F':
      return SingleToText(bitCast<float>(static_cast<uint32_t>(std::stoul(input, nullptr, 16))),
                          separator);
    case 'D':
      return DoubleToText(bitCast<double>(std::stoull(input, nullptr, 16)), separator);
    default:
      return "unknown kind";
  }
}

// The exact decimal of a double, as digits and a decimal exponent: every double has a
// finite one, and glibc's printf writes it in full.
struct Exact {
  std::string digits;  // no leading or trailing zeros
  int exponent;        // value = 0.digits x 10^exponent
};
Exact exactDecimal(double value) {
  char buffer[400];
  std::snprintf(buffer, sizeof buffer, "%.200e", value);
  std::string mantissa(buffer, std::strchr(buffer, 'e'));
  const int e = std::atoi(std::strchr(buffer, 'e') + 1);
  std::string digits = mantissa.substr(0, 1) + mantissa.substr(2);
  digits.erase(digits.find_last_not_of('0') + 1);
  return {digits, e + 1};
}

class Writer {
 public:
  explicit Writer(std::ostream& out) : out_(out) {}
  void add(char kind, char separator, const std::string& input) {
    out_ << kind << '\t' << separator << '\t' << input << '\t' << expected(kind, separator, input)
         << '\n';
    ++count_;
  }
  long count() const { return count_; }

 private:
  std::ostream& out_;
  long count_ = 0;
};

std::string withComma(std::string text) {
  for (char& c : text) {
    if (c == '.') {
      c = ',';
    }
  }
  return text;
}

// A decimal text of the exact value, in one of several spellings.
std::string spell(const Exact& x, bool negative, std::mt19937_64& rng) {
  std::string text = negative ? "-" : (rng() % 4 == 0 ? "+" : "");
  switch (rng() % 3) {
    case 0:  // 0.digits e exponent
      text += "0." + x.digits + (rng() % 2 ? "e" : "E") + std::to_string(x.exponent);
      break;
    case 1:  // d.igits e exponent-1
      text +=
          x.digits.substr(0, 1) + "." + x.digits.substr(1) + "e" + std::to_string(x.exponent - 1);
      break;
    default:  // digits e exponent-n, no point
      text += x.digits + "e" + std::to_string(x.exponent - static_cast<int>(x.digits.size()));
      break;
  }
  return text;
}

float randomFloat(std::mt19937_64& rng, bool subnormal) {
  uint32_t bits = static_cast<uint32_t>(rng());
  if (subnormal) {
    bits &= 0x007fffff;
  }
  bits &= 0x7fffffff;
  if ((bits & 0x7f800000) == 0x7f800000) {
    bits &= 0x7f7fffff;  // finite
  }
  return bitCast<float>(bits);
}

void writeCases(std::ostream& out) {
  Writer w(out);
  std::mt19937_64 rng(20261209);

  // Singles and doubles written as text: every class of bit pattern.
  for (int i = 0; i < 300000; ++i) {
    const uint32_t bits = i < 20000 ? static_cast<uint32_t>(rng()) & 0x807fffff  // subnormal
                                    : static_cast<uint32_t>(rng());
    w.add('F', i % 10 == 0 ? ',' : '.', hex(bits, 8));
  }
  for (int i = 0; i < 400000; ++i) {
    uint64_t bits = rng();
    if (i % 4 == 0) {
      // A result-like double: a single's value through a few operations.
      const float a = randomFloat(rng, false);
      bits = bitCast<uint64_t>(std::sqrt(static_cast<double>(a) / 3.0));
    }
    w.add('D', i % 10 == 0 ? ',' : '.', hex(bits, 16));
  }

  // Texts that lie exactly halfway between two singles, and just above and below.
  for (int i = 0; i < 60000; ++i) {
    const float low = randomFloat(rng, i % 5 == 0);
    const float high = std::nextafter(low, INFINITY);
    if (std::isinf(high)) {
      continue;
    }
    const double mid = (static_cast<double>(low) + high) / 2;  // exact
    Exact x = exactDecimal(mid);
    const bool negative = rng() % 2;
    w.add('S', '.', spell(x, negative, rng));
    Exact above = x;
    above.digits += std::string(rng() % 20, '0') + "1";
    w.add('S', '.', spell(above, negative, rng));
    Exact below = x;
    below.digits.resize(1 + rng() % std::max<size_t>(below.digits.size() - 1, 1));
    w.add('S', i % 10 == 0 ? ',' : '.',
          i % 10 == 0 ? withComma(spell(below, negative, rng)) : spell(below, negative, rng));
  }

  // The shortest texts of singles in several spellings, around blanks and signs.
  for (int i = 0; i < 100000; ++i) {
    const float value = randomFloat(rng, i % 8 == 0);
    std::string text = SingleToText(value);
    switch (rng() % 5) {
      case 0:
        text = " " + text + "\t";
        break;
      case 1:
        text = "000" + text;
        break;
      case 2:
        text = "-" + text;
        break;
      default:
        break;
    }
    w.add('S', '.', text);
  }

  // Random decimal texts: short and long digit strings over the whole exponent range,
  // overflow and underflow included.
  for (int i = 0; i < 250000; ++i) {
    std::string digits;
    const int count = 1 + static_cast<int>(rng() % (i % 3 == 0 ? 40 : 12));
    for (int d = 0; d < count; ++d) {
      digits += static_cast<char>('0' + rng() % 10);
    }
    const size_t point = rng() % (digits.size() + 1);
    std::string text = digits.substr(0, point) + "." + digits.substr(point);
    if (text == ".") {
      text = "0";
    }
    const int exponent = static_cast<int>(rng() % 110) - 65;
    if (rng() % 4 != 0) {
      text += "e" + std::to_string(exponent);
    }
    const bool comma = i % 7 == 0;
    w.add('S', comma ? ',' : '.', comma ? withComma(text) : text);
  }

  // Texts of thousands of digits: a midpoint followed by 4,000 zeros, with and without a
  // last 1 that tips it, and the same value written behind 4,000 leading zeros.
  for (int i = 0; i < 1500; ++i) {
    const float low = randomFloat(rng, i % 4 == 0);
    const float high = std::nextafter(low, INFINITY);
    if (std::isinf(high)) {
      continue;
    }
    const Exact x = exactDecimal((static_cast<double>(low) + high) / 2);
    const std::string tail = std::string(4000, '0') + (i % 2 ? "1" : "");
    w.add('S', '.', "0." + x.digits + tail + "e" + std::to_string(x.exponent));
    w.add(
        'S', '.',
        "0." + std::string(4000, '0') + x.digits + tail + "e" + std::to_string(x.exponent + 4000));
  }

  // Near-texts: junk from the characters of numbers, mostly not numbers.
  const std::string alphabet = "0123456789.,eE+- x";
  for (int i = 0; i < 20000; ++i) {
    std::string text;
    const int length = static_cast<int>(rng() % 8);
    for (int c = 0; c < length; ++c) {
      text += alphabet[rng() % alphabet.size()];
    }
    w.add('S', i % 2 ? ',' : '.', text);
  }
  std::cerr << "wrote " << w.count() << " cases\n";
}

int checkCases(std::istream& in) {
  long cases = 0;
  long wrong = 0;
  for (std::string line; std::getline(in, line);) {
    const size_t a = line.find('\t');
    const size_t b = line.find('\t', a + 1);
    const size_t c = line.rfind('\t');
    if (a != 1 || b != 3 || c <= b) {
      std::cerr << "malformed line " << cases + 1 << '\n';
      return 1;
    }
    const std::string input = line.substr(b + 1, c - b - 1);
    const std::string want = line.substr(c + 1);
    const std::string got = expected(line[0], line[2], input);
    ++cases;
    if (got != want && ++wrong <= 20) {
      std::cerr << line[0] << " '" << line[2] << "' "
                << (input.size() > 80 ? input.substr(0, 80) + "..." : input) << ": expected "
                << want << ", got " << got << '\n';
    }
  }
  std::cout << cases << " cases, " << wrong << " different\n";
  // A short or missing table proves nothing.
  return wrong == 0 && cases >= 1000000 ? 0 : 1;
}

}  // namespace
}  // namespace rms

int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], "write") == 0) {
    std::ofstream out(argv[2]);
    rms::writeCases(out);
    return out ? 0 : 1;
  }
  if (argc == 3 && std::strcmp(argv[1], "check") == 0) {
    std::ifstream in(argv[2]);
    if (!in) {
      std::cerr << "cannot read " << argv[2] << '\n';
      return 1;
    }
    return rms::checkCases(in);
  }
  std::cerr << "usage: conversion_cases write|check FILE\n";
  return 2;
}
