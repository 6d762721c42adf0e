// SPDX-License-Identifier: MIT
#pragma once

#include <optional>
#include <streambuf>
#include <string>
#include <string_view>
#include <utility>

#include "batch/batch.h"

namespace rms {

// Which file a descriptor has open, to tell when two descriptors lead to the same one.
struct FileIdentity {
  unsigned long long device = 0;
  unsigned long long file = 0;
  bool known = false;
  bool regular = false;  // a file on a disk, not a pipe, a terminal or a device
  bool sameAs(const FileIdentity& other) const {
    return known && other.known && device == other.device && file == other.file;
  }
};
FileIdentity identityOf(int descriptor);

// Writes all of `bytes` to standard output with the system's own write. A pipe that is not
// ready (one its writer's caller made non-blocking) is waited for instead of failing.
// False, with errno set, when the output cannot be written.
bool writeStandardOutput(std::string_view bytes);

// Standard output as an unbuffered stream buffer over writeStandardOutput; the batch
// gathers its rows itself.
class StandardOutput : public std::streambuf {
 protected:
  std::streamsize xsputn(const char* text, std::streamsize count) override {
    return writeStandardOutput(std::string_view(text, static_cast<size_t>(count))) ? count : 0;
  }
  int_type overflow(int_type c) override {
    if (traits_type::eq_int_type(c, traits_type::eof())) {
      return traits_type::not_eof(c);
    }
    const char one = traits_type::to_char_type(c);
    return writeStandardOutput(std::string_view(&one, 1)) ? c : traits_type::eof();
  }
};

// The bytes of a file or of standard input, read with the system's own read, which returns
// what a pipe or a terminal has at hand instead of waiting to fill a buffer. On POSIX a pipe
// that is not ready (a non-blocking one) is waited for; on Windows the read is _read's,
// which waits on a pipe in its usual blocking mode but fails on one set to PIPE_NOWAIT
// that holds nothing yet. The file's path is opened in binary: as its bytes on POSIX, as
// UTF-8 on Windows. One implementation per system.
class FileSource : public ByteSource {
 public:
  // Descriptor 0 on every system.
  static FileSource standardInput() { return FileSource(0, false); }
  // An empty optional, with errno set, when the file cannot be opened.
  static std::optional<FileSource> open(const std::string& path);

  FileSource(FileSource&& other) noexcept
      : descriptor_(other.descriptor_), owned_(std::exchange(other.owned_, false)) {}
  FileSource& operator=(FileSource&&) = delete;
  ~FileSource() override {
    if (owned_) {
      close(descriptor_);
    }
  }

  long readSome(char* buffer, size_t size) override;
  FileIdentity identity() const { return identityOf(descriptor_); }

 private:
  FileSource(int descriptor, bool owned) : descriptor_(descriptor), owned_(owned) {}
  static void close(int descriptor);

  int descriptor_;
  bool owned_;
};

}  // namespace rms
