# SPDX-License-Identifier: MIT
# Builds the Debian package with CPack into a scratch folder and checks its fields and its
# contents: version, the dependencies dpkg-shlibdeps finds plus the Qt platform plugins,
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
# The library packages are the ones dpkg-shlibdeps finds for the packaged program on this
# system, since their names change between releases (libqt6core6 became libqt6core6t64).
set(shlibs_dir ${WORK_DIR}/shlibdeps)
file(MAKE_DIRECTORY ${shlibs_dir}/debian)
file(WRITE ${shlibs_dir}/debian/control "")
execute_process(COMMAND dpkg-deb -x ${debs} ${shlibs_dir}/root COMMAND_ERROR_IS_FATAL ANY)
execute_process(COMMAND dpkg-shlibdeps -O -e${shlibs_dir}/root/usr/bin/korvath-rms
  WORKING_DIRECTORY ${shlibs_dir} RESULT_VARIABLE status OUTPUT_VARIABLE shlibs
  ERROR_VARIABLE errors)
if(NOT status EQUAL 0 OR NOT shlibs MATCHES "^shlibs:Depends=([^\n]+)")
  message(FATAL_ERROR "dpkg-shlibdeps failed on the packaged program:\n${shlibs}${errors}")
endif()
string(REGEX REPLACE "\\([^)]*\\)" "" libraries "${CMAKE_MATCH_1}")
string(REGEX REPLACE "[ ]*[,|][ ]*" ";" libraries "${libraries}")
list(TRANSFORM libraries STRIP)
# A program that links Qt needs a package for each of its three libraries.
foreach(library IN ITEMS core gui widgets)
  if(NOT libraries MATCHES "(^|;)libqt6${library}6")
    message(FATAL_ERROR "dpkg-shlibdeps names no libqt6${library}6 package: ${libraries}")
  endif()
endforeach()
foreach(needed IN LISTS libraries ITEMS qt6-qpa-plugins)
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
