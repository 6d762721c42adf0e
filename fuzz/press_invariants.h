// SPDX-License-Identifier: MIT
#pragma once

// What may stand in a box after a press of Calculate, shared by the press fuzzer and
// the monkey test of the real window.

#include <charconv>
#include <cmath>
#include <string>
#include <string_view>
#include <system_error>

#include "runtime/conversions.h"

namespace rms::invariants {

// A result box holds nothing (the slot failed), "NaN" (the duty cycle was undefined),
// or the text of a finite double that reads back to a double whose own text it is.
inline bool isResultText(std::string_view text) {
  if (text.empty() || text == "NaN") {
    return true;
  }
  double value = 0.0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  return ec == std::errc() && end == text.data() + text.size() && std::isfinite(value) &&
         DoubleToText(value) == text;
}

}  // namespace rms::invariants
