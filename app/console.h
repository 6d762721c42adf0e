// SPDX-License-Identifier: MIT
#pragma once

namespace rms {

// Readies the standard streams for the command line. Where the program is a GUI program
// (Windows), it starts with no console: its streams lead somewhere only when they were
// redirected, so they are joined to the console of the command prompt it was typed in, and
// they are made binary, so that CSV rows end in "\n" there as everywhere. Elsewhere the
// streams are ready as they are and this does nothing.
void prepareConsoleStreams();

// Which standard streams the program was started with closed. Call it before any object
// opens a file: each closed stream is opened on the null device, so that no descriptor
// opened later (Qt's event notifier, say) takes its number and receives what was meant for
// that stream, or is read as the input.
struct ClosedStreams {
  bool input = false;
  bool output = false;
};
ClosedStreams reserveClosedStreams();

}  // namespace rms
