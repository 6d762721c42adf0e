// SPDX-License-Identifier: MIT
#include "runtime/qt/startup.h"

#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <vector>

#include <QString>
#include <QtGlobal>

#include "rms/identity.h"
#include "runtime/qt/engine_options.h"

namespace rms {
namespace {

constexpr std::string_view kPrefix = RMS_PROGRAM ": cannot open a window: ";

bool isSet(const EnvironmentLookup& environment, const char* name) {
  const char* value = environment(name);
  return value != nullptr && *value != '\0';
}

bool isDesktopPlugin(std::string_view plugin) {
  return plugin.starts_with("xcb") || plugin.starts_with("wayland");
}

std::string platformChoice(const EnvironmentLookup& environment, std::span<char* const> arguments,
                           std::string_view defaultPlatform) {
  if (const std::optional<std::string_view> chosen = readEngineArguments(arguments).platform) {
    return std::string(*chosen);
  }
  if (const char* fromEnvironment = environment("QT_QPA_PLATFORM");
      fromEnvironment && *fromEnvironment) {
    return fromEnvironment;
  }
  // Where the default is a desktop plugin, the engine tries the session's own type first
  // and keeps its default as the fallback.
  if (isDesktopPlugin(defaultPlatform)) {
    const char* session = environment("XDG_SESSION_TYPE");
    const std::string_view type = session ? session : "";
    if (type == "x11" || type == "wayland") {
      return std::string(type == "x11" ? "xcb" : "wayland") + ";" + std::string(defaultPlatform);
    }
  }
  return std::string(defaultPlatform);
}

// What one platform plugin needs, or nothing when it can start here.
std::optional<std::string> missingFor(std::string_view plugin,
                                      const EnvironmentLookup& environment) {
  plugin = plugin.substr(0, plugin.find(':'));  // "xcb:option=value"
  if (plugin.starts_with("xcb")) {
    return isSet(environment, "DISPLAY") ? std::nullopt
                                         : std::optional<std::string>("DISPLAY is not set");
  }
  if (plugin.starts_with("wayland")) {
    // Without WAYLAND_DISPLAY the client library tries the default socket in the
    // runtime directory.
    if (isSet(environment, "WAYLAND_DISPLAY") || isSet(environment, "XDG_RUNTIME_DIR")) {
      return std::nullopt;
    }
    return "WAYLAND_DISPLAY is not set";
  }
  return std::nullopt;  // windows, cocoa, offscreen, minimal, vnc, linuxfb, eglfs, ...
}

// What the guard has seen of the window engine's start-up. The engine names each
// platform plugin it tries in a warning before its fatal message, which names none.
struct StartupLog {
  std::string display;                // DISPLAY, read when the guard is installed
  std::vector<std::string> notFound;  // plugins the engine could not find
  bool foundButFailed = false;        // a plugin that exists could not start
};
StartupLog startupLog;
QtMessageHandler previousHandler = nullptr;

constexpr std::string_view kNotFound = "Could not find the Qt platform plugin \"";
constexpr std::string_view kNotLoaded = "Could not load the Qt platform plugin \"";
constexpr std::string_view kAvailable = "Available platform plugins are: ";

void note(std::string_view message) {
  if (message.starts_with(kNotFound)) {
    message.remove_prefix(kNotFound.size());
    startupLog.notFound.emplace_back(message.substr(0, message.find('"')));
  } else if (message.starts_with(kNotLoaded)) {
    startupLog.foundButFailed = true;
  }
}

// Blames the platform plugin only when every plugin tried was missing; a plugin that
// was there and failed (xcb without its X server, say) points at the window system.
std::string fatalLine(std::string_view fatal) {
  if (startupLog.notFound.empty() || startupLog.foundButFailed) {
    return std::string(kPrefix) + "the window system could not be reached" +
           (startupLog.display.empty() ? "" : " (DISPLAY=" + startupLog.display + ")");
  }
  std::string line = std::string(kPrefix) + "no Qt platform plugin ";
  for (size_t i = 0; i < startupLog.notFound.size(); ++i) {
    line += (i == 0 ? "\"" : " or \"") + startupLog.notFound[i] + "\"";
  }
  if (const size_t at = fatal.find(kAvailable); at != std::string_view::npos) {
    const std::string_view list = fatal.substr(at + kAvailable.size());
    line += " (available: " + std::string(list.substr(0, list.find_first_of(".\n"))) + ")";
  }
  return line;
}

void guardHandler(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (type == QtFatalMsg) {
    std::fputs((fatalLine(message.toStdString()) + "\n").c_str(), stderr);
    std::_Exit(1);
  }
  note(message.toStdString());
  if (previousHandler) {
    previousHandler(type, context, message);
  }
}

}  // namespace

std::optional<std::string> displayProblem(const EnvironmentLookup& environment,
                                          std::span<char* const> arguments,
                                          std::string_view defaultPlatform) {
  // "wayland;xcb": the engine tries each in turn, so one that can start is enough.
  const std::string chosen = platformChoice(environment, arguments, defaultPlatform);
  const std::string_view choice = chosen;  // its pieces are views into it, not copies
  std::optional<std::string> first;
  size_t start = 0;
  while (true) {
    const size_t end = choice.find(';', start);
    const std::string_view plugin = choice.substr(start, end - start);
    std::optional<std::string> missing = missingFor(plugin, environment);
    if (!missing) {
      return std::nullopt;
    }
    first = first ? first : missing;
    if (end == std::string_view::npos) {
      break;
    }
    start = end + 1;
  }
  return std::string(kPrefix) + "no display (" + *first + ")";
}

StartupGuard::StartupGuard() {
  const char* display = std::getenv("DISPLAY");
  startupLog = StartupLog();
  startupLog.display = display ? display : "";
  previousHandler = qInstallMessageHandler(guardHandler);
}

StartupGuard::~StartupGuard() {
  qInstallMessageHandler(previousHandler);
  previousHandler = nullptr;
}

}  // namespace rms
