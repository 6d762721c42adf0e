// SPDX-License-Identifier: MIT
#include "app/console.h"

#include <cstdio>
#include <cstdlib>

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <shellapi.h>  // after windows.h, which it needs

namespace rms {
namespace {

bool leadsNowhere(DWORD stream) {
  const HANDLE handle = GetStdHandle(stream);
  return handle == nullptr || handle == INVALID_HANDLE_VALUE;
}

UINT g_consoleOutputPage = 0;

std::string utf8(const wchar_t* text) {
  const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  std::string result(size > 0 ? static_cast<size_t>(size) : 1, '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, -1, result.data(), size, nullptr, nullptr);
  result.pop_back();  // the NUL that the count includes
  return result;
}

}  // namespace

ProgramArguments::ProgramArguments(int argc, char* argv[]) {
  int count = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
  if (wide == nullptr) {
    pointers_.assign(argv, argv + argc);  // out of memory: the ANSI arguments are all there is
    return;
  }
  for (int i = 0; i < count; ++i) {
    texts_.push_back(utf8(wide[i]));
  }
  LocalFree(wide);
  for (std::string& text : texts_) {
    pointers_.push_back(text.data());
  }
}

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
  // The console's page is the console's, shared with the prompt: it is given back at exit.
  g_consoleOutputPage = GetConsoleOutputCP();
  if (g_consoleOutputPage != 0 && g_consoleOutputPage != CP_UTF8 && SetConsoleOutputCP(CP_UTF8)) {
    std::atexit([] { SetConsoleOutputCP(g_consoleOutputPage); });
  }
}

ClosedStreams reserveClosedStreams() {
  // Where no console and no redirection gave a stream a handle, it leads nowhere.
  ClosedStreams closed;
  closed.input = _get_osfhandle(_fileno(stdin)) < 0;
  closed.output = _get_osfhandle(_fileno(stdout)) < 0;
  return closed;
}

}  // namespace rms
