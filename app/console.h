// SPDX-License-Identifier: MIT
#pragma once

#include <span>
#include <string>
#include <vector>

namespace rms {

// The program's arguments, its name first, as the command line reads them. Windows hands a
// program its command line in UTF-16 and builds argv in the ANSI code page, which cannot
// spell every file name ("Messung Ω.csv" on a Western European system): there they are
// taken from the UTF-16 command line and held as UTF-8. Elsewhere they are argv itself,
// the bytes of the names.
class ProgramArguments {
 public:
  ProgramArguments(int argc, char* argv[]);
  std::span<char* const> all() const { return pointers_; }

 private:
  std::vector<std::string> texts_;
  std::vector<char*> pointers_;
};

// Readies the standard streams for the command line. Where the program is a GUI program
// (Windows), it starts with no console: its streams lead somewhere only when they were
// redirected, so they are joined to the console of the command prompt it was typed in, and
// they are made binary, so that CSV rows end in "\n" there as everywhere, and a console
// shows UTF-8 (the file names in messages) while the program runs. Elsewhere the streams
// are ready as they are and this does nothing.
void prepareConsoleStreams();

// Which standard streams the program was started with closed. Call it before any object
// opens a file: each closed stream gets a stand-in (the null device; on POSIX an empty
// pipe for input), so that no descriptor opened later (Qt's event notifier, say) takes
// its number and receives what was meant for that stream, or is read as the input.
struct ClosedStreams {
  bool input = false;
  bool output = false;
};
ClosedStreams reserveClosedStreams();

}  // namespace rms
