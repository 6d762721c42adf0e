#pragma once

#include <string>
#include <string_view>

namespace rms {

// Reads a decimal number and rounds it once, correctly, to the nearest single.
// Accepted: optional blanks (spaces, tabs) around, an optional sign, digits with an
// optional '.' fraction (".5" and "5." both count), and an optional exponent
// (e or E, optional sign, digits). '.' is the separator whatever the locale.
// Throws Failure NotANumber for any other text (empty, "inf", "nan", "0x10", "1,5"),
// Failure Overflow for a value beyond the single range. A value too small for a
// single becomes a subnormal or zero. Linear in the length of the text.
float TextToSingle(std::string_view text);

// The shortest text that reads back to exactly the same value; negative zero is
// written "0", NaN "NaN", infinities "Infinity" and "-Infinity".
std::string SingleToText(float value);
std::string DoubleToText(double value);

}  // namespace rms
