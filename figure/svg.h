// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <utility>

#include "figure/figure.h"

namespace rms {

// The figure as a standalone SVG document: the same bytes on every platform and in every
// locale (coordinates rounded once to hundredths of a pixel, no time, no random id). Each
// panel is a group whose id is its batch column; the waveform is the path of class
// `waveform`, the levels are lines of class `zero`, `rms` and `average`. Never throws;
// a coordinate that is not finite is written as 0.
// The bytes stay in the buffer they were written into: a caller writes them out or keeps a
// copy of its own.
class SvgDocument {
 public:
  SvgDocument(std::unique_ptr<char[]> bytes, size_t size) : bytes_(std::move(bytes)), size_(size) {}
  const char* data() const { return bytes_.get(); }
  size_t size() const { return size_; }
  operator std::string_view() const { return {bytes_.get(), size_}; }  // NOLINT: a text
  explicit operator std::string() const { return std::string(std::string_view(*this)); }

 private:
  std::unique_ptr<char[]> bytes_;
  size_t size_;
};

SvgDocument FigureSvg(const Figure& figure);

}  // namespace rms
