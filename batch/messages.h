// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace rms {

// How the command line's messages quote what they name: the batch's file names and the
// arguments in its usage errors. A message stays one readable line whatever it quotes.

// The longest file name a message shows whole: PATH_MAX of Linux, longer than any path a
// person types.
inline constexpr size_t kWholeFileName = 4096;

// `text` cut to at most `length` bytes at a UTF-8 character boundary, with "..." where it
// was cut.
std::string cutForMessage(std::string_view text, size_t length);

// An argument as a usage error quotes it: in single quotes, cut to 60 bytes.
std::string quotedForMessage(std::string_view text);

// A file name as a message names it: in single quotes, whole up to kWholeFileName bytes.
// A longer one keeps its beginning and its end, the file's own name, with "…" between
// them, and stays within kWholeFileName bytes.
std::string quotedFileName(std::string_view path);

}  // namespace rms
