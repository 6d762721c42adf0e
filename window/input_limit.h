// SPDX-License-Identifier: MIT
#pragma once

namespace rms {

// The most characters an input box holds, Qt's own default for a line edit and far
// beyond any number a person types. A line edit lays out its whole text on every
// repaint, so a box of megabytes would keep the window busy for as long as it has the
// focus. An edit that would go past the limit is refused whole, never cut short: a cut
// "000...05" would read as 0. The result boxes hold only what the program writes.
inline constexpr int kMaxInputLength = 32767;

}  // namespace rms
