// SPDX-License-Identifier: MIT
#include "batch/file_source.h"

#include <climits>

#include <fcntl.h>
#include <io.h>

namespace rms {

std::optional<FileSource> FileSource::open(const std::string& path) {
  const int descriptor = ::_open(path.c_str(), _O_RDONLY | _O_BINARY);
  if (descriptor < 0) {
    return std::nullopt;
  }
  return FileSource(descriptor, true);
}

void FileSource::close(int descriptor) {
  ::_close(descriptor);
}

long FileSource::readSome(char* buffer, size_t size) {
  // _read takes an unsigned int; a pipe returns what it holds, as on other systems.
  const unsigned int count = size > INT_MAX ? INT_MAX : static_cast<unsigned int>(size);
  return ::_read(descriptor_, buffer, count);
}

}  // namespace rms
