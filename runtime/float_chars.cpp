// SPDX-License-Identifier: MIT
#include "runtime/float_chars.h"

#if RMS_STD_FLOAT_CHARCONV
#include <charconv>
#else
#include <fast_float/fast_float.h>
#define FMT_HEADER_ONLY
#include <fmt/format.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#endif

namespace rms {

#if RMS_STD_FLOAT_CHARCONV

CharsRead readSingle(const char* first, const char* last, float& value) {
  const auto [ptr, ec] = std::from_chars(first, last, value, std::chars_format::general);
  return {ptr, ec};
}

char* writeShortest(char* first, float value) {
  return std::to_chars(first, first + 32, value).ptr;
}
char* writeShortest(char* first, double value) {
  return std::to_chars(first, first + 32, value).ptr;
}

#else

CharsRead readSingle(const char* first, const char* last, float& value) {
  const auto [ptr, ec] =
      fast_float::from_chars(first, last, value, fast_float::chars_format::general);
  // fast_float rounds a value beyond the range to infinity without a word; the standard
  // reports it and leaves the value alone.
  if (ec == std::errc() && (value == HUGE_VALF || value == -HUGE_VALF)) {
    return {ptr, std::errc::result_out_of_range};
  }
  return {ptr, ec};
}

namespace {

char* writeDigits(char* out, uint64_t digits, int count) {
  for (int i = count - 1; i >= 0; --i) {
    out[i] = static_cast<char>('0' + digits % 10);
    digits /= 10;
  }
  return out + count;
}

__extension__ typedef unsigned __int128 Wide;

// The exact value of an integral number below 2^128, in decimal.
char* writeWide(char* out, Wide value) {
  char reversed[40];
  int count = 0;
  do {
    reversed[count++] = static_cast<char>('0' + static_cast<int>(value % 10));
    value /= 10;
  } while (value != 0);
  while (count > 0) {
    *out++ = reversed[--count];
  }
  return out;
}

// The significand and binary exponent of a finite positive number: value = m x 2^e.
template <typename Number>
void split(Number value, uint64_t& m, int& e) {
  constexpr int kBits = std::numeric_limits<Number>::digits - 1;  // stored fraction bits
  constexpr int kBias = std::numeric_limits<Number>::max_exponent - 1;
  uint64_t bits = 0;
  std::memcpy(&bits, &value, sizeof value);  // little-endian: the low bytes
  const int biased = static_cast<int>(bits >> kBits) & (2 * kBias + 1);
  m = bits & ((uint64_t{1} << kBits) - 1);
  e = biased == 0 ? 1 - kBias - kBits : biased - kBias - kBits;
  if (biased != 0) {
    m |= uint64_t{1} << kBits;
  }
}

// The value is digits x 10^exponent, digits without trailing zeros. Fixed notation
// writes an integral value's exact digits, as the standard library does, rather than
// the shortest digits padded with zeros: 241616093184, not 241616100000.
template <typename Number>
char* layOut(char* out, Number value, bool negative, uint64_t digits, int exponent) {
  int count = 1;
  for (uint64_t d = digits; d >= 10; d /= 10) {
    ++count;
  }
  const int scientificExponent = exponent + count - 1;
  const int absExponent = scientificExponent < 0 ? -scientificExponent : scientificExponent;
  const int exponentDigits = absExponent >= 100 ? 3 : 2;
  const int scientificLength = count + (count > 1 ? 1 : 0) + 2 + exponentDigits;
  const int fixedLength = exponent >= 0          ? count + exponent
                          : count + exponent > 0 ? count + 1
                                                 : 2 - exponent;  // "0." zeros digits
  if (negative) {
    *out++ = '-';
  }
  if (fixedLength <= scientificLength) {
    uint64_t m = 0;
    int e = 0;
    split(value, m, e);
    if (exponent > 0 && e >= 0) {
      // Fixed notation is no longer than the scientific, so the value is below 10^23.
      out = writeWide(out, static_cast<Wide>(m) << e);
    } else if (exponent >= 0) {
      out = writeDigits(out, digits, count);
      for (int i = 0; i < exponent; ++i) {
        *out++ = '0';
      }
    } else if (count + exponent > 0) {
      char* point = out + count + exponent;
      writeDigits(out, digits, count);
      for (char* p = out + count; p > point; --p) {
        *p = p[-1];
      }
      *point = '.';
      out += count + 1;
    } else {
      *out++ = '0';
      *out++ = '.';
      for (int i = 0; i < -(count + exponent); ++i) {
        *out++ = '0';
      }
      out = writeDigits(out, digits, count);
    }
    return out;
  }
  char* first = out;
  out = writeDigits(out + 1, digits, count);  // leave room for the point
  first[0] = first[1];
  if (count > 1) {
    first[1] = '.';
  } else {
    out = first + 1;
  }
  *out++ = 'e';
  *out++ = scientificExponent < 0 ? '-' : '+';
  return writeDigits(out, static_cast<uint64_t>(absExponent), exponentDigits);
}

template <typename Number>
char* shortest(char* first, Number value) {
  const bool negative = value < 0;
  const auto decimal = fmt::detail::dragonbox::to_decimal(negative ? -value : value);
  return layOut(first, negative ? -value : value, negative, decimal.significand, decimal.exponent);
}

}  // namespace

char* writeShortest(char* first, float value) {
  return shortest(first, value);
}
char* writeShortest(char* first, double value) {
  return shortest(first, value);
}

#endif

}  // namespace rms
