# SPDX-License-Identifier: MIT
# Every C++ file git knows matches .clang-format. Outside a git checkout there is no list of
# files to check; without clang-format there is nothing to check them with.
#   cmake -DCLANG_FORMAT=... -P format_check.cmake   (in the source folder)
find_package(Git QUIET)
execute_process(COMMAND ${GIT_EXECUTABLE} -c core.quotePath=false ls-files -- *.cpp *.h
  OUTPUT_VARIABLE files RESULT_VARIABLE status ERROR_QUIET)
if(NOT GIT_FOUND OR NOT status EQUAL 0)
  message("skipped: not a git checkout")
  return()
endif()
if(NOT CLANG_FORMAT)
  message("skipped: no clang-format")
  return()
endif()
string(REGEX REPLACE "\n$" "" files "${files}")
string(REPLACE "\n" ";" files "${files}")
execute_process(COMMAND ${CLANG_FORMAT} --dry-run -Werror ${files} RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "These files do not match .clang-format: run clang-format -i on them")
endif()
list(LENGTH files count)
message(STATUS "${count} files match .clang-format")
