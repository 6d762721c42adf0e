// SPDX-License-Identifier: MIT
#pragma once

namespace rms {

// Readies the standard streams for the command line. Where the program is a GUI program
// (Windows), it starts with no console: its streams lead somewhere only when they were
// redirected, so they are joined to the console of the command prompt it was typed in, and
// they are made binary, so that CSV rows end in "\n" there as everywhere. Elsewhere the
// streams are ready as they are and this does nothing.
void prepareConsoleStreams();

}  // namespace rms
