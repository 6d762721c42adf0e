# SPDX-License-Identifier: MIT
# Builds the Debian package with CPack into a scratch folder and checks its fields and its
# contents: version, dependencies found by dpkg-shlibdeps plus the Qt platform plugins,
# Liberation fonts recommended or required, exactly the program's files, and no error or
# warning from Debian's own checker, lintian.
# Usage: cmake -DBUILD_DIR=... -DCPACK=... -DWORK_DIR=... -DAPP_ID=... -DVERSION=...
#          -P check_deb.cmake
cmake_minimum_required(VERSION 3.25)
include(${CMAKE_CURRENT_LIST_DIR}/installed_files.cmake)

file(REMOVE_RECURSE ${WORK_DIR})
execute_process(
  COMMAND ${CPACK} -G DEB --config ${BUILD_DIR}/CPackConfig.cmake -B ${WORK_DIR}
  RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cpack failed:\n${output}")
endif()
file(GLOB debs ${WORK_DIR}/*.deb)
list(LENGTH debs count)
if(NOT count EQUAL 1)
  message(FATAL_ERROR "Expected one .deb in ${WORK_DIR}, found: ${debs}")
endif()

function(field name out)
  execute_process(COMMAND dpkg-deb -f ${debs} ${name}
    RESULT_VARIABLE status OUTPUT_VARIABLE value OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "dpkg-deb -f ${name} failed on ${debs}")
  endif()
  set(${out} "${value}" PARENT_SCOPE)
endfunction()

field(Package package)
field(Version version)
field(Depends depends)
field(Recommends recommends)
message(STATUS "${debs}\n  Version: ${version}\n  Depends: ${depends}\n  Recommends: ${recommends}")

if(NOT package STREQUAL "korvath-rms" OR NOT version STREQUAL VERSION)
  message(FATAL_ERROR "Package ${package} ${version}, expected korvath-rms ${VERSION}")
endif()

# Package names in a relationship field, without versions or alternatives' separators.
string(REGEX REPLACE "\\([^)]*\\)" "" depends_names "${depends}")
string(REGEX REPLACE "[ ]*[,|][ ]*" ";" depends_names "${depends_names}")
string(REGEX REPLACE "\\([^)]*\\)" "" recommends_names "${recommends}")
string(REGEX REPLACE "[ ]*[,|][ ]*" ";" recommends_names "${recommends_names}")
list(TRANSFORM depends_names STRIP)
list(TRANSFORM recommends_names STRIP)
foreach(needed IN ITEMS qt6-qpa-plugins libqt6core6 libqt6gui6 libqt6widgets6 libc6)
  if(NOT needed IN_LIST depends_names)
    message(FATAL_ERROR "Depends lacks ${needed}: ${depends}")
  endif()
endforeach()
if(NOT "fonts-liberation" IN_LIST depends_names AND NOT "fonts-liberation" IN_LIST recommends_names)
  message(FATAL_ERROR "Neither Depends nor Recommends names fonts-liberation")
endif()

# Contents: regular files only ("-" in the mode column), "./" stripped.
execute_process(COMMAND dpkg-deb -c ${debs} OUTPUT_VARIABLE listing RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "dpkg-deb -c failed on ${debs}")
endif()
string(REPLACE "\n" ";" lines "${listing}")
set(found)
foreach(line IN LISTS lines)
  if(line MATCHES "^-[^ ]+ .* \\./(.+)$")
    list(APPEND found "${CMAKE_MATCH_1}")
  endif()
endforeach()
expect_installed_files("The package" "${found}")

# Any error or warning fails, whatever the exit status of this version of lintian.
execute_process(COMMAND lintian --fail-on error,warning ${debs}
  RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE errors)
if(NOT status EQUAL 0 OR output MATCHES "(^|\n)[EW]: ")
  message(FATAL_ERROR "lintian finds fault with ${debs}:\n${output}${errors}")
endif()
