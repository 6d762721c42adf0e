// SPDX-License-Identifier: MIT
#pragma once

#include <cstdio>
#include <streambuf>

namespace rms {

// An output stream buffer over a C stdio stream, so that the batch reaches standard output
// and error as C++ streams without <iostream>: with GCC 12 that header's static set-up of
// the standard streams runs in every start of the program and costs the window start about
// 0.4 MiB of memory. (Input goes through FileSource, which does not wait to fill a buffer.)
class StdioBuffer : public std::streambuf {
 public:
  explicit StdioBuffer(std::FILE* file) : file_(file) {}

 protected:
  std::streamsize xsputn(const char* text, std::streamsize count) override;
  int_type overflow(int_type c) override;
  int sync() override;

 private:
  std::FILE* file_;
};

}  // namespace rms
