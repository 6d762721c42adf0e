// SPDX-License-Identifier: MIT
#pragma once

#include <optional>
#include <string>
#include <utility>

#include "batch/batch.h"

namespace rms {

// The bytes of a file or of standard input, read with the system's own read, which returns
// what a pipe or a terminal has at hand instead of waiting to fill a buffer. The file's
// path is opened in binary: as its bytes on POSIX, as UTF-8 on Windows. One
// implementation per system.
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

 private:
  FileSource(int descriptor, bool owned) : descriptor_(descriptor), owned_(owned) {}
  static void close(int descriptor);

  int descriptor_;
  bool owned_;
};

}  // namespace rms
