// SPDX-License-Identifier: MIT
#include "app/console.h"

#include <cstdio>

#include <fcntl.h>
#include <io.h>
#include <windows.h>

namespace rms {
namespace {

bool leadsNowhere(DWORD stream) {
  const HANDLE handle = GetStdHandle(stream);
  return handle == nullptr || handle == INVALID_HANDLE_VALUE;
}

}  // namespace

void prepareConsoleStreams() {
  // Which streams were not redirected must be known before attaching, which may fill them in.
  const bool input = leadsNowhere(STD_INPUT_HANDLE);
  const bool output = leadsNowhere(STD_OUTPUT_HANDLE);
  const bool errors = leadsNowhere(STD_ERROR_HANDLE);
  if ((input || output || errors) && AttachConsole(ATTACH_PARENT_PROCESS)) {
    if (input) {
      std::freopen("CONIN$", "r", stdin);
    }
    if (output) {
      std::freopen("CONOUT$", "w", stdout);
    }
    if (errors) {
      std::freopen("CONOUT$", "w", stderr);
    }
  }
  _setmode(_fileno(stdin), _O_BINARY);
  _setmode(_fileno(stdout), _O_BINARY);
}

ClosedStreams reserveClosedStreams() {
  // Where no console and no redirection gave a stream a handle, it leads nowhere.
  ClosedStreams closed;
  closed.input = _get_osfhandle(_fileno(stdin)) < 0;
  closed.output = _get_osfhandle(_fileno(stdout)) < 0;
  return closed;
}

}  // namespace rms
