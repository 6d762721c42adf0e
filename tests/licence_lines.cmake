# SPDX-License-Identifier: MIT
# Every source file git knows opens with its licence line (after a shebang or an XML
# declaration). Outside a git checkout there is no list of source files to check.
find_package(Git QUIET)
execute_process(COMMAND ${GIT_EXECUTABLE} -c core.quotePath=false ls-files -- *.cpp *.h *.cmake *.sh *.py
                        *CMakeLists.txt *.rc.in *.js *.css *.html
  OUTPUT_VARIABLE files RESULT_VARIABLE status ERROR_QUIET)
if(NOT GIT_FOUND OR NOT status EQUAL 0)
  message("skipped: not a git checkout")
  return()
endif()
string(REPLACE "\n" ";" files "${files}")
set(unlicensed)
foreach(file IN LISTS files)
  if(file)
    file(STRINGS ${file} head LIMIT_COUNT 3)
    if(NOT head MATCHES "SPDX-License-Identifier: ")
      list(APPEND unlicensed ${file})
    endif()
  endif()
endforeach()
if(unlicensed)
  list(JOIN unlicensed "\n  " unlicensed)
  message(FATAL_ERROR "No SPDX-License-Identifier line in:\n  ${unlicensed}")
endif()
