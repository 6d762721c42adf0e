// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <cstdio>
#include <streambuf>

namespace rms {

// A stream buffer over a C stdio stream, so that the batch reaches standard input and
// output as C++ streams without <iostream>: with GCC 12 that header's static set-up of the
// standard streams runs in every start of the program and costs the window start about
// 0.4 MiB of memory. A read error throws, which the reading istream turns into badbit.
class StdioBuffer : public std::streambuf {
 public:
  explicit StdioBuffer(std::FILE* file) : file_(file) {}

 protected:
  int_type underflow() override;
  std::streamsize xsputn(const char* text, std::streamsize count) override;
  int_type overflow(int_type c) override;
  int sync() override;

 private:
  std::FILE* file_;
  std::array<char, 64 * 1024> buffer_{};
};

}  // namespace rms
