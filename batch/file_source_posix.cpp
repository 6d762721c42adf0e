// SPDX-License-Identifier: MIT
#include "batch/file_source.h"

#include <cerrno>

#include <fcntl.h>
#include <unistd.h>

namespace rms {

std::optional<FileSource> FileSource::open(const std::string& path) {
  const int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (descriptor < 0) {
    return std::nullopt;
  }
  return FileSource(descriptor, true);
}

void FileSource::close(int descriptor) {
  ::close(descriptor);
}

long FileSource::readSome(char* buffer, size_t size) {
  while (true) {
    const ssize_t count = ::read(descriptor_, buffer, size);
    if (count >= 0 || errno != EINTR) {
      return static_cast<long>(count);
    }
  }
}

}  // namespace rms
