// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <concepts>
#include <string>
#include <string_view>

#include "runtime/failure.h"

namespace rms {

// Reads a decimal number and rounds it once, correctly, to the nearest single.
// Accepted: optional blanks (spaces, tabs) around, an optional sign, digits with an
// optional '.' fraction (".5" and "5." both count), and an optional exponent
// (e or E, optional sign, digits). '.' is always a decimal point; where the
// decimalSeparator is ',' (a desktop that writes a decimal comma), one ',' may stand
// in its place. Any other separator counts as '.'. A text with both, or with group
// separators, is not a number.
// Throws Failure NotANumber for any other text (empty, "inf", "nan", "0x10", "1,5"
// under '.'), Failure Overflow for a value beyond the single range. A value too small
// for a single becomes a subnormal or zero. Linear in the length of the text.
float TextToSingle(std::string_view text, char decimalSeparator = '.');
// The same, with the failure returned instead of thrown.
Outcome<float> TryTextToSingle(std::string_view text, char decimalSeparator = '.');

// The shortest text that reads back to exactly the same value, its '.' written as the
// decimalSeparator (',' or '.'); negative zero is written "0", NaN "NaN", infinities
// "Infinity" and "-Infinity", exponents as "1e+20" in every case.
std::string SingleToText(float value, char decimalSeparator = '.');
std::string DoubleToText(double value, char decimalSeparator = '.');

// The same texts in a fixed buffer: a press writes seven of them, a batch a million presses,
// and none needs the heap (the longest, "-2.2250738585072014e-308", has 24 characters).
class NumberText {
 public:
  static constexpr size_t kCapacity = 32;
  explicit NumberText(std::string_view text);
  // Filled in place by write(begin, end), which returns the end of what it wrote: copying
  // digits just written costs a stalled load.
  template <typename Write>
  requires std::invocable<Write, char*, char*>
  explicit NumberText(Write&& write) {
    size_ =
        static_cast<unsigned char>(write(data_.data(), data_.data() + kCapacity) - data_.data());
  }
  operator std::string_view() const { return {data_.data(), size_}; }  // NOLINT: a text
  explicit operator std::string() const { return std::string(std::string_view(*this)); }

 private:
  std::array<char, kCapacity> data_;
  unsigned char size_;
};
NumberText SingleText(float value, char decimalSeparator = '.');
NumberText DoubleText(double value, char decimalSeparator = '.');

}  // namespace rms
