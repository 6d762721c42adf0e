// SPDX-License-Identifier: MIT
#include "batch/file_source.h"

#include <cerrno>

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

namespace rms {
namespace {

// Waits until `descriptor` is ready for `events`; a non-blocking descriptor reports
// EAGAIN when it is not yet.
void awaitReady(int descriptor, short events) {
  pollfd ready{descriptor, events, 0};
  while (::poll(&ready, 1, -1) < 0 && errno == EINTR) {
  }
}

bool notReady(int error) {
  return error == EAGAIN || error == EWOULDBLOCK;
}

}  // namespace

FileIdentity identityOf(int descriptor) {
  struct stat status {};
  if (::fstat(descriptor, &status) != 0) {
    return {};
  }
  return {static_cast<unsigned long long>(status.st_dev),
          static_cast<unsigned long long>(status.st_ino), true, S_ISREG(status.st_mode)};
}

bool writeStandardOutput(std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t count = ::write(STDOUT_FILENO, bytes.data(), bytes.size());
    if (count >= 0) {
      bytes.remove_prefix(static_cast<size_t>(count));
    } else if (notReady(errno)) {
      awaitReady(STDOUT_FILENO, POLLOUT);
    } else if (errno != EINTR) {
      return false;
    }
  }
  return true;
}

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
    if (count >= 0) {
      return static_cast<long>(count);
    }
    if (notReady(errno)) {
      awaitReady(descriptor_, POLLIN);
    } else if (errno != EINTR) {
      return -1;
    }
  }
}

}  // namespace rms
