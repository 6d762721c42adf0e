// SPDX-License-Identifier: MIT
#include "app/console.h"

#include <cerrno>

#include <fcntl.h>
#include <unistd.h>

namespace rms {
namespace {

// Opens a stand-in on a closed descriptor: open() and pipe() take the lowest free numbers,
// and the streams are checked from 0 up, so it lands on `descriptor`. Standard input gets
// an empty pipe of its own rather than the null device, so that a path leading to it
// (/dev/stdin) is told apart from a file that is really there (/dev/null).
bool reserveIfClosed(int descriptor) {
  if (fcntl(descriptor, F_GETFD) != -1 || errno != EBADF) {
    return false;
  }
  int opened = -1;
  if (int ends[2]; descriptor == STDIN_FILENO && pipe(ends) == 0) {
    close(ends[1]);  // read at once as the end of the input
    opened = ends[0];
  } else {
    opened = open("/dev/null", descriptor == STDIN_FILENO ? O_RDONLY : O_WRONLY);
  }
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
