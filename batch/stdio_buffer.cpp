// SPDX-License-Identifier: MIT
#include "batch/stdio_buffer.h"

namespace rms {

std::streamsize StdioBuffer::xsputn(const char* text, std::streamsize count) {
  return static_cast<std::streamsize>(std::fwrite(text, 1, static_cast<size_t>(count), file_));
}

StdioBuffer::int_type StdioBuffer::overflow(int_type c) {
  if (traits_type::eq_int_type(c, traits_type::eof())) {
    return traits_type::not_eof(c);
  }
  return std::fputc(c, file_) == EOF ? traits_type::eof() : c;
}

int StdioBuffer::sync() {
  return std::fflush(file_) == 0 ? 0 : -1;
}

}  // namespace rms
