// SPDX-License-Identifier: MIT
#pragma once

#include <system_error>

namespace rms {

// The two float conversions of <charconv> the conversions need, where every standard
// library gives the same texts. Where the library has them (libstdc++, MSVC) these are
// std::from_chars and std::to_chars; where it lacks them (the libc++ of the WebAssembly
// build), the configure step chooses fast_float for reading and {fmt}'s shortest digits
// (Dragonbox) for writing, laid out here the way std::to_chars lays them out. A test
// program checks a million cases of both against the standard library.

struct CharsRead {
  const char* ptr;
  std::errc ec;
};

// std::from_chars(first, last, value, std::chars_format::general): the digits, an
// optional '.' fraction and an optional exponent, without a sign, rounded once to the
// nearest single.
CharsRead readSingle(const char* first, const char* last, float& value);

// std::to_chars(first, last, value) without a format: the shortest digits that read back
// to the value, fixed or scientific, whichever is shorter (fixed on a tie), exponents
// with at least two digits ("1e+20", "1e-05"). The value must be finite and not zero;
// the buffer must hold 32 characters. Returns the end of the text.
char* writeShortest(char* first, float value);
char* writeShortest(char* first, double value);

}  // namespace rms
