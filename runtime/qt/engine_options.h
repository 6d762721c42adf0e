// SPDX-License-Identifier: MIT
// The window engine's own options among the program's arguments (QGuiApplication's and
// QApplication's: -platform NAME, -style NAME, -reverse, ..., with one or two leading
// dashes, a value after '=' or in the next argument), read in one place: the command line
// leaves them to the window, and the start-up check follows the platform they choose.
// Qt itself still parses them when the application object is made; this only says which
// they are.
#pragma once

#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace rms {

struct EngineArguments {
  // The program's own arguments, its name left out: what is not the engine's, and all
  // from "--" on.
  std::vector<char*> own;
  // The last "-platform NAME" before "--", the one the engine starts.
  std::optional<std::string_view> platform;
};

EngineArguments readEngineArguments(std::span<char* const> arguments);

// True when `argument` names an engine option that takes a value but has none in it (an
// "-style" left last, say).
bool lacksEngineValue(std::string_view argument);

}  // namespace rms
