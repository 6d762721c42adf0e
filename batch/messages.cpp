// SPDX-License-Identifier: MIT
#include "batch/messages.h"

namespace rms {
namespace {

constexpr size_t kShownLength = 60;
constexpr std::string_view kEllipsis = "\xE2\x80\xA6";  // …

bool continues(char c) {
  return (static_cast<unsigned char>(c) & 0xC0) == 0x80;  // inside a UTF-8 sequence
}

}  // namespace

std::string cutForMessage(std::string_view text, size_t length) {
  if (text.size() <= length) {
    return std::string(text);
  }
  while (length > 0 && continues(text[length])) {
    --length;
  }
  return std::string(text.substr(0, length)).append("...");
}

std::string quotedForMessage(std::string_view text) {
  return "'" + cutForMessage(text, kShownLength) + "'";
}

std::string quotedFileName(std::string_view path) {
  std::string quoted = "'";
  if (path.size() <= kWholeFileName) {
    quoted.append(path);
  } else {
    size_t head = (kWholeFileName - kEllipsis.size()) / 2;
    size_t tail = path.size() - (kWholeFileName - kEllipsis.size() - head);
    while (head > 0 && continues(path[head])) {
      --head;
    }
    while (tail < path.size() && continues(path[tail])) {
      ++tail;
    }
    quoted.append(path.substr(0, head)).append(kEllipsis).append(path.substr(tail));
  }
  return quoted += '\'';
}

}  // namespace rms
