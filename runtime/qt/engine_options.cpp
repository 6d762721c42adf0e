// SPDX-License-Identifier: MIT
#include "runtime/qt/engine_options.h"

namespace rms {
namespace {

struct EngineOption {
  std::string_view name;
  bool takesValue;
};
constexpr EngineOption kEngineOptions[] = {
    {"platform", true},        {"platformpluginpath", true},
    {"platformtheme", true},   {"plugin", true},
    {"qwindowgeometry", true}, {"qwindowicon", true},
    {"qwindowtitle", true},    {"session", true},
    {"display", true},         {"geometry", true},
    {"style", true},           {"stylesheet", true},
    {"qmljsdebugger", true},   {"reverse", false},
    {"widgetcount", false},    {"nograb", false},
    {"dograb", false},
};

constexpr std::string_view kEndOfOptions = "--";

// The engine option an argument names, if any, with its dashes and any "=value" taken off.
const EngineOption* engineOptionNamed(std::string_view argument) {
  if (!argument.starts_with('-')) {
    return nullptr;
  }
  argument.remove_prefix(argument.starts_with("--") ? 2 : 1);
  const std::string_view name = argument.substr(0, argument.find('='));
  for (const EngineOption& option : kEngineOptions) {
    if (option.name == name) {
      return &option;
    }
  }
  return nullptr;
}

// The number of arguments an engine option at arguments[i] takes up: 1 or 2, or 0 when
// arguments[i] is not one.
size_t engineOptionLength(std::span<char* const> arguments, size_t i) {
  const std::string_view argument = arguments[i];
  if (argument.starts_with("-psn_") || argument.starts_with("--psn_")) {
    return 1;  // the process serial number that macOS's Finder may pass to an application
  }
  const EngineOption* option = engineOptionNamed(argument);
  if (option == nullptr) {
    return 0;
  }
  if (argument.find('=') != std::string_view::npos) {
    return option->takesValue ? 1 : 0;
  }
  if (!option->takesValue) {
    return 1;
  }
  return i + 1 < arguments.size() ? 2 : 0;
}

}  // namespace

EngineArguments readEngineArguments(std::span<char* const> arguments) {
  EngineArguments read;
  for (size_t i = 1; i < arguments.size();) {
    if (arguments[i] == kEndOfOptions) {
      read.own.insert(read.own.end(), arguments.begin() + static_cast<std::ptrdiff_t>(i),
                      arguments.end());
      break;  // what follows is FILE, whatever it looks like
    }
    const size_t length = engineOptionLength(arguments, i);
    if (length == 0) {
      read.own.push_back(arguments[i]);
      ++i;
      continue;
    }
    // The engine takes its platform from the two-argument form only.
    if (length == 2 && engineOptionNamed(arguments[i])->name == "platform") {
      read.platform = arguments[i + 1];
    }
    i += length;
  }
  return read;
}

bool lacksEngineValue(std::string_view argument) {
  const EngineOption* option = engineOptionNamed(argument);
  return option != nullptr && option->takesValue && argument.find('=') == std::string_view::npos;
}

}  // namespace rms
