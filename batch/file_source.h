// SPDX-License-Identifier: MIT
#pragma once

#include <optional>
#include <string>

#include "batch/batch.h"

namespace rms {

// The bytes of a file or of standard input, read with the system's own read, which returns
// what a pipe or a terminal has at hand instead of waiting to fill a buffer. The file's
// path is opened with the bytes given, in binary. One implementation per system.
class FileSource : public ByteSource {
 public:
  static FileSource standardInput();
  // An empty optional, with errno set, when the file cannot be opened.
  static std::optional<FileSource> open(const std::string& path);

  FileSource(FileSource&& other) noexcept;
  FileSource& operator=(FileSource&&) = delete;
  ~FileSource() override;

  long readSome(char* buffer, size_t size) override;

 private:
  FileSource(int descriptor, bool owned) : descriptor_(descriptor), owned_(owned) {}

  int descriptor_;
  bool owned_;
};

}  // namespace rms
