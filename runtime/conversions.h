// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>

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

// The shortest text that reads back to exactly the same value, its '.' written as the
// decimalSeparator (',' or '.'); negative zero is written "0", NaN "NaN", infinities
// "Infinity" and "-Infinity", exponents as "1e+20" in every case.
std::string SingleToText(float value, char decimalSeparator = '.');
std::string DoubleToText(double value, char decimalSeparator = '.');

}  // namespace rms
