# SPDX-License-Identifier: MIT
# Starts the program where no window can be opened: with an empty environment, with a
# DISPLAY that nothing listens on, in a Wayland session without a socket, and with
# platform plugins that do not exist. Each time
# it must say why in one last line on stderr and exit with status 1, never abort or dump
# core.
#   cmake -DPROGRAM=/path/to/korvath-rms -P no_display_test.cmake
if(NOT PROGRAM)
  message(FATAL_ERROR "PROGRAM is not set")
endif()

# The environment is a list of shell words (values may hold ';'); why is a regular
# expression for the line after "korvath-rms: cannot open a window: ".
function(expect_refusal what environment why)
  execute_process(COMMAND sh -c "exec env -i ${environment} \"$0\"" "${PROGRAM}"
    RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err TIMEOUT 60)
  if(NOT status STREQUAL "1")
    message(FATAL_ERROR "${what}: exit status '${status}', expected 1\nstderr:\n${err}")
  endif()
  if(NOT err MATCHES "korvath-rms: cannot open a window: ${why}\n$")
    message(FATAL_ERROR "${what}: no explanation on stderr matching '${why}':\n${err}")
  endif()
  message(STATUS "${what}: status ${status}: ${err}")
endfunction()

set(available "\\(available: [a-z0-9-]+(, [a-z0-9-]+)*\\)")
expect_refusal("no display" "" "no display \\(DISPLAY is not set\\)")
expect_refusal("Wayland session, no socket" "XDG_SESSION_TYPE=wayland" "no display \\([^)]+\\)")
expect_refusal("dead display" "DISPLAY=:987"
  "the window system could not be reached \\(DISPLAY=:987\\)")
expect_refusal("missing plugin" "QT_QPA_PLATFORM=bogus DISPLAY=:987"
  "no Qt platform plugin \"bogus\" ${available}")
expect_refusal("missing plugins" "QT_QPA_PLATFORM='bogus;nope'"
  "no Qt platform plugin \"bogus\" or \"nope\" ${available}")
# A plugin that exists and fails points at the window system, not at the missing one.
expect_refusal("missing plugin, then a dead display" "QT_QPA_PLATFORM='bogus;xcb' DISPLAY=:987"
  "the window system could not be reached \\(DISPLAY=:987\\)")
