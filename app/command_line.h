// SPDX-License-Identifier: MIT
#pragma once

#include <span>
#include <vector>

namespace rms {

// The program's own arguments: those left when the window engine's options (-platform
// NAME, -style NAME, -reverse, ..., with one or two leading dashes, a value after '=' or
// in the next argument) are taken out. The program's name is not included.
std::vector<char*> ownArguments(std::span<char* const> arguments);

// True when the program's own arguments are not empty: then the command line runs instead
// of the window. This is decided from the arguments alone, before any application object
// exists: only one can exist in a process, the window needs a QApplication (which needs a
// display), and --help, --version and --batch must work without one. The window engine's
// options are left to the window, so that "-platform offscreen" and the like keep working.
bool wantsCommandLine(std::span<char* const> arguments);

// --help, --version and --batch [FILE] over the program's arguments (its name first, as
// UTF-8 on Windows), with no Qt application object; returns the exit status. A usage error
// prints one line naming the problem with a hint to --help, and gives 2.
int runCommandLine(std::span<char* const> arguments);

}  // namespace rms
