// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>

// What keeps the figure's few hot paths fast: it is written after every press.

// Everything a function calls made part of it, natively: a figure pushes some 250
// primitives and pieces of text, and a call for each costs more than the push. The page
// keeps its code small instead.
#if defined(__GNUC__) && !defined(__EMSCRIPTEN__)
#define RMS_FIGURE_FLATTEN [[gnu::flatten]]
#else
#define RMS_FIGURE_FLATTEN
#endif

namespace rms {

// "00" to "99", for writing two digits at a time.
inline constexpr std::array<char, 200> kDigitPairs = [] {
  std::array<char, 200> pairs{};
  for (int i = 0; i < 100; ++i) {
    pairs[static_cast<size_t>(2 * i)] = static_cast<char>('0' + i / 10);
    pairs[static_cast<size_t>(2 * i + 1)] = static_cast<char>('0' + i % 10);
  }
  return pairs;
}();

// The digits of n, written two at a time from its last so that they end just before `end`;
// returns where they start.
inline char* writeDigitsBefore(char* end, uint64_t n) {
  for (; n >= 100; n /= 100) {
    end -= 2;
    std::memcpy(end, &kDigitPairs[2 * (n % 100)], 2);
  }
  if (n >= 10) {
    end -= 2;
    std::memcpy(end, &kDigitPairs[2 * n], 2);
  } else {
    *--end = static_cast<char>('0' + n);
  }
  return end;
}

// A long copy, left to the library: out of line, so that the compiler cannot put a string
// instruction in its place, which would start slowly every time.
#if defined(__GNUC__)
[[gnu::noinline]]
#endif
inline void
copyLong(char* to, const char* from, size_t size) {
  std::memcpy(to, from, size);
}

// Copies `size` bytes in a few moves of fixed sizes, each within the source and the
// destination: the figure's texts are short, and for them a call to memcpy, or the string
// instruction that a compiler may put in its place, costs more than the copy.
inline void copyShort(char* to, const char* from, size_t size) {
  if (size >= 8) {
    if (size > 16) {
      if (size > 32) {
        copyLong(to, from, size);
        return;
      }
      std::memcpy(to, from, 16);
      std::memcpy(to + size - 16, from + size - 16, 16);
      return;
    }
    std::memcpy(to, from, 8);
    std::memcpy(to + size - 8, from + size - 8, 8);
  } else if (size >= 4) {
    std::memcpy(to, from, 4);
    std::memcpy(to + size - 4, from + size - 4, 4);
  } else if (size != 0) {
    to[0] = from[0];
    to[size / 2] = from[size / 2];
    to[size - 1] = from[size - 1];
  }
}

}  // namespace rms
