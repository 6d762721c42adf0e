// SPDX-License-Identifier: MIT
#include "app/console.h"

#include <cerrno>

#include <fcntl.h>
#include <unistd.h>

namespace rms {
namespace {

// Opens the null device on a closed descriptor: open() takes the lowest free number, and
// the streams are checked from 0 up, so it lands on `descriptor`.
bool reserveIfClosed(int descriptor) {
  if (fcntl(descriptor, F_GETFD) != -1 || errno != EBADF) {
    return false;
  }
  const int opened = open("/dev/null", descriptor == STDIN_FILENO ? O_RDONLY : O_WRONLY);
  if (opened >= 0 && opened != descriptor) {
    dup2(opened, descriptor);
    close(opened);
  }
  return true;
}

}  // namespace

ProgramArguments::ProgramArguments(int argc, char* argv[]) : pointers_(argv, argv + argc) {}

void prepareConsoleStreams() {}

ClosedStreams reserveClosedStreams() {
  ClosedStreams closed;
  closed.input = reserveIfClosed(STDIN_FILENO);
  closed.output = reserveIfClosed(STDOUT_FILENO);
  reserveIfClosed(STDERR_FILENO);
  return closed;
}

}  // namespace rms
