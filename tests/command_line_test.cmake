# SPDX-License-Identifier: MIT
# Runs the program's command line with no display at all (DISPLAY, WAYLAND_DISPLAY and
# QT_QPA_PLATFORM unset) and checks each exit status and what goes to stdout and stderr.
#   cmake -DPROGRAM=/path/to/korvath-rms -DWORK_DIR=/scratch -DVERSION=... -DPLOT_PICTURE=docs/plot.svg -P command_line_test.cmake
if(NOT PROGRAM OR NOT WORK_DIR OR NOT VERSION OR NOT PLOT_PICTURE)
  message(FATAL_ERROR "PROGRAM, WORK_DIR, VERSION and PLOT_PICTURE must be set")
endif()
string(REPLACE "." "\\." version "${VERSION}")
file(MAKE_DIRECTORY ${WORK_DIR})
file(WRITE ${WORK_DIR}/good.txt "t T Ip Ia Ib\n0.5 1 1 .5 1\n")
file(WRITE ${WORK_DIR}/bad.txt "0.5 1 1 .5 1\n1 0 1 1 1\n")
file(WRITE ${WORK_DIR}/german.csv "t;T;Ip;Ia;Ib\r\n0,5;1;1;0,5;1\r\n")
file(WRITE ${WORK_DIR}/-reverse "0.5 1 1 .5 1\n")
file(COPY ${CMAKE_CURRENT_LIST_DIR}/pipe_ends.py DESTINATION ${WORK_DIR})

set(header "t,T,Ip,Ia,Ib,D,limited,full_wave_sinusoidal,pulsed_sinusoidal,rectangular,trapezoid,triangle,general_ac_coupled,error\n")
set(good_row "0.5,1,1,0.5,1,0.5,no,0.7071067811865475,0.5,0.7071067811865476,0.5400617248673216,0.408248290463863,0.3886407938787006,\n")
set(usage "^korvath-rms: [^\n]+ Try 'korvath-rms --help'\\.\n$")

# check(<name> <status> <stdout regex> <stderr regex> [INPUT file] [ENV <name=value>...]
#       ARGS <arguments>... | SHELL <sh script, the program as $0>)
# The program runs in WORK_DIR. A script holds no semicolon, which would split it as a list.
function(check name status out_regex err_regex)
  cmake_parse_arguments(ARG "" "INPUT;SHELL" "ENV;ARGS" ${ARGN})
  set(input_option)
  if(ARG_INPUT)
    set(input_option INPUT_FILE ${ARG_INPUT})
  endif()
  set(command ${PROGRAM} ${ARG_ARGS})
  if(ARG_SHELL)
    set(command sh -c "${ARG_SHELL}" ${PROGRAM})
  endif()
  execute_process(
    COMMAND env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM ${ARG_ENV} ${command}
    ${input_option} WORKING_DIRECTORY ${WORK_DIR}
    RESULT_VARIABLE actual OUTPUT_VARIABLE out ERROR_VARIABLE err TIMEOUT 60)
  if(NOT actual STREQUAL status OR NOT out MATCHES "${out_regex}" OR NOT err MATCHES "${err_regex}")
    message(FATAL_ERROR "${name}: status ${actual} (expected ${status})\n"
                        "stdout:\n${out}\nstderr:\n${err}")
  endif()
  message(STATUS "${name}: status ${actual}")
endfunction()

check("version" 0 "^korvath-rms ${version}\n$" "^$" ARGS --version)
check("version beside a window option" 0 "^korvath-rms ${version}\n$" "^$"
      ARGS -platform offscreen -v)
check("help" 0 "^Usage: korvath-rms \\[options\\] \\[FILE\\]\n.*an output that cannot be\n.*--help.*--version.*--batch.*--plot t T Ip Ia Ib" "^$"
      ARGS --help)
check("unknown option" 2 "^$" "${usage}" ARGS --bogus)
check("a file without --batch" 2 "^$" "${usage}" ARGS points.txt)
check("two files" 2 "^$" "${usage}" ARGS --batch a.txt b.txt)
# Named relative to WORK_DIR, so the messages are the same wherever the build is; the reason
# is the system's, in the system's words and language.
check("a missing file" 2 "^$" "^korvath-rms: cannot read 'none\\.txt': [^\n]+\n$"
      ARGS --batch none.txt)
# Nothing goes out before the input has shown itself readable.
check("a folder" 2 "^$" "^korvath-rms: cannot read '\\.': [^\n]+\n$" ARGS --batch .)
check("a file" 0 "^${header}${good_row}$" "^$" ARGS --batch ${WORK_DIR}/good.txt)
# CSV keeps the decimal point on a desktop that writes a decimal comma.
check("a file on a German desktop" 0 "^${header}${good_row}$" "^$" ENV LC_ALL=de_DE.UTF-8
      ARGS --batch ${WORK_DIR}/good.txt)
check("standard input" 0 "^${header}${good_row}$" "^$" INPUT ${WORK_DIR}/good.txt ARGS --batch)
check("standard input as -" 1 "^${header}${good_row}0,0,1,1,1,NaN,yes,0.7071067811865475,NaN,NaN,NaN,NaN,NaN,D: division by zero; D: undefined result\n$" "^$"
      INPUT ${WORK_DIR}/bad.txt ARGS --batch -)
# The faults an audit found, each as a user met it.
check("a German export, even on an English desktop" 0 "^${header}${good_row}$" "^$"
      ENV LC_ALL=C ARGS --batch ${WORK_DIR}/german.csv)
check("quoted numbers are a row, not a header" 0 "^${header}${good_row}$" "^$"
      SHELL "printf '\"0.5\",\"1\",\"1\",\"0.5\",\"1\"\\n' | \"$0\" --batch")
check("a file name that is not UTF-8" 0 "^${header}${good_row}$" "^$" ENV LC_ALL=C.UTF-8
      SHELL "printf '0.5 1 1 .5 1\\n' >\"$(printf 'caf\\351.txt')\" && \"$0\" --batch caf?.txt")
check("a byte-order mark" 0 "^${header}${good_row}$" "^$"
      SHELL "printf '\\357\\273\\2770.5 1 1 .5 1\\n' | \"$0\" --batch")
check("closed standard output" 2 "^$" "^korvath-rms: standard output is closed\n$"
      SHELL "\"$0\" --batch good.txt >&-")
check("closed standard input" 2 "^$" "^korvath-rms: standard input is closed\n$"
      SHELL "\"$0\" --batch <&-")
# --plot: one point's figure as SVG, with the status of its batch row.
set(svg "^<\\?xml [^\n]+\n<svg [^\n]+ role=\"img\".*<g id=\"full_wave_sinusoidal\">.*<g id=\"general_ac_coupled\">.*</svg>\n$")
check("--plot" 0 "${svg}" "^$" ARGS --plot 0.5 1 1 .5 1)
check("--plot labels the batch row's texts" 0 "RMS 0\\.5400617248673216 " "^$"
      ARGS --plot 0.5 1 1 .5 1)
check("--plot with a field that is not a number" 1 "Ip is not a number.*</svg>\n$" "^$"
      ARGS --plot 0.5 1 amps .5 1)
check("--plot with a negative t after --" 1 "square root of a negative number.*</svg>\n$" "^$"
      ARGS --plot -- -0.5 1 1 .5 1)
# The README's picture is what --plot makes today, to the byte.
file(READ ${PLOT_PICTURE} picture)
execute_process(COMMAND ${PROGRAM} --plot 4.2 10 3 2.5 3.5 OUTPUT_VARIABLE plotted)
if(NOT plotted STREQUAL picture)
  message(FATAL_ERROR "docs/plot.svg is not what --plot 4.2 10 3 2.5 3.5 writes now")
endif()
check("--plot with three numbers" 2 "^$" "${usage}" ARGS --plot 1 2 3)
check("--plot with a negative t before --" 2 "^$" "${usage}" ARGS --plot -0.5 1 1 .5 1)
check("-- ends the options" 0 "^${header}${good_row}$" "^$" ARGS --batch -- -reverse)
check("-platform without its value" 2 "^$" "^korvath-rms: option '-platform' needs a value\\. "
      ARGS --batch -platform)
string(REPEAT "n" 100000 long_name)
check("a long file name keeps its beginning and its end" 2 "^$"
      "^korvath-rms: cannot read 'n+…n+': [^\n]+\n$" ARGS --batch ${long_name})
string(REPEAT "a folder with a long name/" 12 long_folder)
check("a missing file in a long folder is named whole" 2 "^$"
      "^korvath-rms: cannot read '${long_folder}points\\.csv': [^\n]+\n$"
      ARGS --batch ${long_folder}points.csv)
foreach(locale IN ITEMS C POSIX)
  check("--help says nothing else in the ${locale} locale" 0 "^Usage: " "^$"
        ENV LC_ALL=${locale} ARGS --help)
  check("--version says nothing else in the ${locale} locale" 0 "^korvath-rms ${version}\n$" "^$"
        ENV LC_ALL=${locale} ARGS --version)
  check("--batch says nothing else in the ${locale} locale" 0 "^${header}${good_row}$" "^$"
        ENV LC_ALL=${locale} ARGS --batch good.txt)
endforeach()
check("a file without --batch is named as a file" 2 "^$"
      "^korvath-rms: 'n+…n+' needs --batch\\. " ARGS ${long_name})
string(REPEAT "x" 100 hundred)
check("a hundred bytes without --batch are named whole" 2 "^$"
      "^korvath-rms: '${hundred}\\.csv' needs --batch\\. " ARGS ${hundred}.csv)
check("a long unknown option is cut" 2 "^$" "^korvath-rms: Unknown option '--n+\\.\\.\\.'\\. Try"
      ARGS --${long_name})
foreach(option IN ITEMS -x --x ---)
  check("unknown option ${option} keeps its dashes" 2 "^$"
        "^korvath-rms: Unknown option '${option}'\\. Try" ARGS --batch ${option})
endforeach()

# The edges a script meets: an output that cannot be written, standard input closed, the
# input also the output, pipes left non-blocking or closed early.
foreach(option IN ITEMS --help --version)
  check("${option} to a full disk" 2 "^$" "^korvath-rms: cannot write the output: [^\n]+\n$"
        SHELL "\"$0\" ${option} >/dev/full")
endforeach()
check("/dev/stdin with standard input closed" 2 "^$" "^korvath-rms: standard input is closed\n$"
      SHELL "\"$0\" --batch /dev/stdin <&-")
check("/dev/null with standard input closed" 0 "^${header}$" "^$"
      SHELL "\"$0\" --batch /dev/null <&-")
# ulimit stops a run that would append to its own input for ever.
foreach(input IN ITEMS own.csv /dev/stdout -)
  check("${input} appended to own.csv" 2 "^0\\.5 1 1 \\.5 1\n$"
        "^korvath-rms: [^\n]+: input file is output file\n$"
        SHELL "printf '0.5 1 1 .5 1\\n' >own.csv && ulimit -f 100 && \"$0\" --batch ${input} <own.csv >>own.csv || (cat own.csv && exit 2)")
endforeach()
check("non-blocking pipes" 0 "^5001 rows, status 0\n$" "^$"
      SHELL "python3 pipe_ends.py \"$0\" nonblocking")
check("a reader that stops early ends the batch by SIGPIPE, silently" 0
      "^1 rows, status -13\n$" "^$" SHELL "python3 pipe_ends.py \"$0\" sigpipe")
