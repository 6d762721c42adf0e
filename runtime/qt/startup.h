// SPDX-License-Identifier: MIT
#pragma once

#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace rms {

// Looks up an environment variable; nullptr when it is not set.
using EnvironmentLookup = std::function<const char*(const char*)>;

// Why the window engine cannot open a window here, as one line for stderr, or nothing
// when a window system looks reachable. Follows the engine's own choice of platform:
// "-platform NAME" among the arguments, else QT_QPA_PLATFORM, else `defaultPlatform`, the
// plugin the engine starts where it was built ("xcb" on Linux, "windows", "cocoa"); before
// a desktop default, the engine tries the session's own type (XDG_SESSION_TYPE x11 or
// wayland). Only the X11 and Wayland plugins need a display; the others (windows, cocoa,
// offscreen, minimal, vnc, ...) always pass.
std::optional<std::string> displayProblem(const EnvironmentLookup& environment,
                                          std::span<char* const> arguments,
                                          std::string_view defaultPlatform);

// While it lives, a fatal error of the window engine (a display that refuses the
// connection, say) prints one line to stderr and exits with status 1 instead of
// aborting with a core dump. The line names the platform plugin when none of those the
// engine tried exists. Guards the creation of the application object only.
class StartupGuard {
 public:
  StartupGuard();
  ~StartupGuard();
  StartupGuard(const StartupGuard&) = delete;
  StartupGuard& operator=(const StartupGuard&) = delete;
};

}  // namespace rms
