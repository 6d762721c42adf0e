// SPDX-License-Identifier: MIT
// Fuzzes the reading of a number from a box text.
//
// Every text is read twice, with the decimal separator '.' and with ','. Oracles, for
// each reading:
//   - accepted: the text matches the number grammar of that separator, the value is
//     finite, equals what the C library's correctly rounded strtof reads (with the one
//     comma made a point), and survives a round trip through SingleToText with the same
//     separator bit for bit (negative zero comes back as "0", that is +0);
//   - rejected as not a number (13): the text is outside the grammar;
//   - rejected as overflow (6): the text is inside the grammar and its value lies
//     beyond the single range;
//   - nothing else.
// The grammar is written here a second time, as a state table, independently of the
// scanner in runtime/conversions.cpp.

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

#include "runtime/conversions.h"
#include "runtime/failure.h"

namespace {

void require(bool ok, const char* what, std::string_view text) {
  if (!ok) {
    std::fprintf(stderr, "fuzz_text_to_single: %s for text of %zu bytes: \"%.*s\"\n", what,
                 text.size(), static_cast<int>(std::min<size_t>(text.size(), 200)), text.data());
    std::abort();
  }
}

//   blanks [sign] (digits [point digits*] | point digits) [("e"|"E") [sign] digits] blanks
// with blanks = spaces and tabs, digits = 0-9, point = "." or, with the separator ',',
// also ",".
enum State { Lead, Signed, Whole, Point, Fraction, Mark, MarkSigned, Exponent, Trail, Reject };
enum Class { Blank, Sign, Digit, Dot, E, Other };

Class classOf(char c, char separator) {
  if (c == ' ' || c == '\t') {
    return Blank;
  }
  if (c == '+' || c == '-') {
    return Sign;
  }
  if (c >= '0' && c <= '9') {
    return Digit;
  }
  if (c == '.' || (c == ',' && separator == ',')) {
    return Dot;
  }
  if (c == 'e' || c == 'E') {
    return E;
  }
  return Other;
}

// clang-format off
constexpr State kNext[9][6] = {
  //                Blank   Sign        Digit     Dot       E       Other
  /* Lead       */ {Lead,   Signed,     Whole,    Point,    Reject, Reject},
  /* Signed     */ {Reject, Reject,     Whole,    Point,    Reject, Reject},
  /* Whole      */ {Trail,  Reject,     Whole,    Fraction, Mark,   Reject},
  /* Point      */ {Reject, Reject,     Fraction, Reject,   Reject, Reject},
  /* Fraction   */ {Trail,  Reject,     Fraction, Reject,   Mark,   Reject},
  /* Mark       */ {Reject, MarkSigned, Exponent, Reject,   Reject, Reject},
  /* MarkSigned */ {Reject, Reject,     Exponent, Reject,   Reject, Reject},
  /* Exponent   */ {Trail,  Reject,     Exponent, Reject,   Reject, Reject},
  /* Trail      */ {Trail,  Reject,     Reject,   Reject,   Reject, Reject},
};
// clang-format on

bool accepting(State s) {
  return s == Whole || s == Fraction || s == Exponent || s == Trail;
}

bool inGrammar(std::string_view text, char separator) {
  State s = Lead;
  for (char c : text) {
    s = kNext[s][classOf(c, separator)];
    if (s == Reject) {
      return false;
    }
  }
  return accepting(s);
}

std::string withoutBlanks(std::string_view text) {
  const size_t first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) {
    return {};
  }
  const size_t last = text.find_last_not_of(" \t");
  return std::string(text.substr(first, last - first + 1));
}

uint32_t bitsOf(float f) {
  uint32_t b = 0;
  std::memcpy(&b, &f, sizeof b);
  return b;
}

void check(std::string_view text, char separator) {
  const bool grammar = inGrammar(text, separator);

  float value = 0.0f;
  std::optional<rms::ErrorNumber> failure;
  try {
    value = rms::TextToSingle(text, separator);
  } catch (const rms::Failure& f) {
    failure = f.number();
  }

  // The C library's reading of the same number, on the text between the blanks; this
  // program never sets the C locale, so strtof reads a '.'.
  float libc = 0.0f;
  if (grammar) {
    std::string body = withoutBlanks(text);
    std::replace(body.begin(), body.end(), ',', '.');
    errno = 0;
    char* end = nullptr;
    libc = std::strtof(body.c_str(), &end);
    require(end == body.c_str() + body.size(), "strtof stopped early on a grammar text", text);
  }

  if (!failure) {
    require(grammar, "accepted a text outside the grammar", text);
    require(std::isfinite(value), "accepted a text as a non-finite value", text);
    require(bitsOf(value) == bitsOf(libc), "value differs from the correctly rounded one", text);
    const std::string written = rms::SingleToText(value, separator);
    require(inGrammar(written, separator), "SingleToText wrote a text outside the grammar",
            written);
    require(written.find(separator == ',' ? '.' : ',') == std::string::npos,
            "SingleToText wrote the other separator", written);
    const float back = rms::TextToSingle(written, separator);
    if (value == 0.0f) {
      require(written == "0" && bitsOf(back) == 0, "zero does not come back as 0", text);
    } else {
      require(bitsOf(back) == bitsOf(value), "round trip through SingleToText changed bits", text);
    }
    return;
  }
  switch (*failure) {
    case rms::ErrorNumber::NotANumber:
      require(!grammar, "rejected a grammar text as not a number", text);
      break;
    case rms::ErrorNumber::Overflow:
      require(grammar, "overflow reported for a text outside the grammar", text);
      require(std::isinf(libc), "overflow reported for a value inside the single range", text);
      break;
    default:
      require(false, "rejected with an unexpected error number", text);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  check(text, '.');
  check(text, ',');
  return 0;
}
