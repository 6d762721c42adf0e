// SPDX-License-Identifier: MIT
#include "runtime/conversions.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <system_error>

#include "runtime/failure.h"
#include "runtime/float_chars.h"

namespace rms {
namespace {

bool isBlank(char c) {
  return c == ' ' || c == '\t';
}
bool isDigit(char c) {
  return c >= '0' && c <= '9';
}

// Decimal exponent of the leading significant digit, saturated; only its sign matters.
// Used to tell overflow from underflow when the value is out of range. The digits hold
// at most one point, '.' or ','.
int64_t leadingExponent(std::string_view digits, int64_t exponent) {
  constexpr int64_t kLimit = int64_t{1} << 40;
  int64_t position = 0;  // digits before the '.'
  bool seenPoint = false;
  int64_t firstNonZero = 0;
  bool found = false;
  for (char c : digits) {
    if (c == '.' || c == ',') {
      seenPoint = true;
      continue;
    }
    if (!seenPoint) {
      ++position;
    }
    if (!found) {
      if (c != '0') {
        found = true;
      } else {
        --firstNonZero;
      }
    }
  }
  // firstNonZero counts the zeros that lead the digit string, integer part included.
  const int64_t lead = position + firstNonZero;
  return std::clamp<int64_t>(lead + exponent, -kLimit, kLimit);
}

}  // namespace

Outcome<float> TryTextToSingle(std::string_view text, char decimalSeparator) {
  const bool commaAccepted = decimalSeparator == ',';
  size_t begin = 0;
  size_t end = text.size();
  while (begin < end && isBlank(text[begin])) {
    ++begin;
  }
  while (end > begin && isBlank(text[end - 1])) {
    --end;
  }
  std::string_view body = text.substr(begin, end - begin);

  bool negative = false;
  if (!body.empty() && (body.front() == '+' || body.front() == '-')) {
    negative = body.front() == '-';
    body.remove_prefix(1);
  }

  // Check the whole grammar first: from_chars alone would take "inf", "nan", hex
  // digits and a leading part of the text.
  size_t i = 0;
  size_t intDigits = 0;
  size_t fracDigits = 0;
  while (i < body.size() && isDigit(body[i])) {
    ++i;
    ++intDigits;
  }
  const size_t point = i;
  if (i < body.size() && (body[i] == '.' || (commaAccepted && body[i] == ','))) {
    ++i;
    while (i < body.size() && isDigit(body[i])) {
      ++i;
      ++fracDigits;
    }
  }
  if (intDigits + fracDigits == 0) {
    return ErrorNumber::NotANumber;
  }
  const size_t mantissaEnd = i;
  int64_t exponent = 0;
  if (i < body.size() && (body[i] == 'e' || body[i] == 'E')) {
    ++i;
    bool negativeExponent = false;
    if (i < body.size() && (body[i] == '+' || body[i] == '-')) {
      negativeExponent = body[i] == '-';
      ++i;
    }
    size_t expDigits = 0;
    while (i < body.size() && isDigit(body[i])) {
      if (exponent < (int64_t{1} << 40)) {
        exponent = exponent * 10 + (body[i] - '0');
      }
      ++i;
      ++expDigits;
    }
    if (expDigits == 0) {
      return ErrorNumber::NotANumber;
    }
    if (negativeExponent) {
      exponent = -exponent;
    }
  }
  if (i != body.size()) {
    return ErrorNumber::NotANumber;
  }

  // The reading knows only '.'; a comma is swapped for it in a copy of the text.
  std::string withPoint;
  if (point < body.size() && body[point] == ',') {
    withPoint = body;
    withPoint[point] = '.';
    body = withPoint;
  }

  float value = 0.0f;
  const auto [ptr, ec] = readSingle(body.data(), body.data() + body.size(), value);
  if (ec == std::errc::result_out_of_range) {
    if (leadingExponent(body.substr(0, mantissaEnd), exponent) > 0) {
      return ErrorNumber::Overflow;
    }
    value = 0.0f;  // too small for even the least subnormal
  } else if (ec != std::errc() || ptr != body.data() + body.size()) {
    return ErrorNumber::NotANumber;
  }
  if (std::isinf(value)) {
    return ErrorNumber::Overflow;
  }
  return negative ? -value : value;
}

float TextToSingle(std::string_view text, char decimalSeparator) {
  return TryTextToSingle(text, decimalSeparator).valueOrThrow();
}

namespace {

template <typename Number>
NumberText numberToText(Number value, char decimalSeparator) {
  if (std::isnan(value)) {
    return NumberText("NaN");
  }
  if (std::isinf(value)) {
    return NumberText(value > 0 ? "Infinity" : "-Infinity");
  }
  if (value == 0) {
    return NumberText("0");
  }
  return NumberText([&](char* begin, char*) {
    char* const end = writeShortest(begin, value);
    if (decimalSeparator == ',') {
      std::replace(begin, end, '.', ',');
    }
    return end;
  });
}

}  // namespace

NumberText::NumberText(std::string_view text) : size_(static_cast<unsigned char>(text.size())) {
  std::copy(text.begin(), text.end(), data_.begin());
}

NumberText SingleText(float value, char decimalSeparator) {
  return numberToText(value, decimalSeparator);
}
NumberText DoubleText(double value, char decimalSeparator) {
  return numberToText(value, decimalSeparator);
}
std::string SingleToText(float value, char decimalSeparator) {
  return std::string(SingleText(value, decimalSeparator));
}
std::string DoubleToText(double value, char decimalSeparator) {
  return std::string(DoubleText(value, decimalSeparator));
}

}  // namespace rms
