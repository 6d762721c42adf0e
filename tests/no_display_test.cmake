# Starts the program where no window can be opened: with an empty environment, with a
# DISPLAY that nothing listens on, and in a Wayland session without a socket. Each way it must say why on stderr and exit with
# status 1, never abort or dump core.
#   cmake -DPROGRAM=/path/to/korvath-rms -P no_display_test.cmake
if(NOT PROGRAM)
  message(FATAL_ERROR "PROGRAM is not set")
endif()

set(cases "no display|" "dead display|DISPLAY=:987"
  "Wayland session, no socket|XDG_SESSION_TYPE=wayland")
foreach(case IN LISTS cases)
  string(REPLACE "|" ";" parts "${case}")
  list(GET parts 0 what)
  list(LENGTH parts n)
  set(settings "")
  if(n GREATER 1)
    list(GET parts 1 settings)
  endif()
  execute_process(COMMAND env -i ${settings} "${PROGRAM}"
    RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err TIMEOUT 60)
  if(NOT status STREQUAL "1")
    message(FATAL_ERROR "${what}: exit status '${status}', expected 1\nstderr:\n${err}")
  endif()
  if(NOT err MATCHES "korvath-rms: cannot open a window: [^\n]+\n")
    message(FATAL_ERROR "${what}: no explanation on stderr:\n${err}")
  endif()
  message(STATUS "${what}: status ${status}: ${err}")
endforeach()
