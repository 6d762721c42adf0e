# SPDX-License-Identifier: MIT
# Installs the build into a scratch DESTDIR under the prefix /usr and checks that it holds
# exactly the program's files and that they fit together: the desktop entry starts an
# installed program with an installed icon, each icon has the size its folder says, and
# the AppStream data launches the installed desktop entry.
# Usage: cmake -DBUILD_DIR=... -DWORK_DIR=... -DAPP_ID=... -P check_install.cmake
cmake_minimum_required(VERSION 3.25)
include(${CMAKE_CURRENT_LIST_DIR}/installed_files.cmake)

file(REMOVE_RECURSE ${WORK_DIR})
execute_process(
  COMMAND ${CMAKE_COMMAND} -E env DESTDIR=${WORK_DIR}
          ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix /usr
  RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cmake --install failed:\n${output}")
endif()

file(GLOB_RECURSE found LIST_DIRECTORIES false RELATIVE ${WORK_DIR} ${WORK_DIR}/*)
expect_installed_files("The installation" "${found}")

set(root ${WORK_DIR}/usr)
find_program(program korvath-rms PATHS ${root}/bin NO_DEFAULT_PATH NO_CACHE)
if(NOT program)
  message(FATAL_ERROR "bin/korvath-rms is not an executable file")
endif()

# Desktop entry: the command and the icon name resolve to installed files.
file(STRINGS ${root}/share/applications/korvath-rms.desktop exec REGEX "^Exec=")
file(STRINGS ${root}/share/applications/korvath-rms.desktop icon REGEX "^Icon=")
string(REGEX REPLACE "^Exec=([^ ]+).*" "\\1" exec "${exec}")
string(REGEX REPLACE "^Icon=" "" icon "${icon}")
if(NOT EXISTS ${root}/bin/${exec})
  message(FATAL_ERROR "The desktop entry runs '${exec}', which is not installed in bin/")
endif()

# Each hicolor icon is a PNG of the size its folder names (width and height stand at bytes
# 16 to 23 of the PNG header).
foreach(size IN ITEMS 16 32 192 512)
  set(png ${root}/share/icons/hicolor/${size}x${size}/apps/${icon}.png)
  if(NOT EXISTS ${png})
    message(FATAL_ERROR "The desktop entry's icon '${icon}' has no ${size}x${size} image")
  endif()
  file(READ ${png} signature LIMIT 8 HEX)
  file(READ ${png} dimensions OFFSET 16 LIMIT 8 HEX)
  string(SUBSTRING "${dimensions}" 0 8 width)
  string(SUBSTRING "${dimensions}" 8 8 height)
  math(EXPR width "0x${width}")
  math(EXPR height "0x${height}")
  if(NOT signature STREQUAL "89504e470d0a1a0a" OR NOT width EQUAL size OR NOT height EQUAL size)
    message(FATAL_ERROR "${png} is not a ${size}x${size} PNG (${width}x${height})")
  endif()
endforeach()

# AppStream: the id is the file's name and the launchable is the installed desktop entry.
file(READ ${root}/share/metainfo/${APP_ID}.metainfo.xml metainfo)
string(REGEX MATCH "<id>([^<]*)</id>" _ "${metainfo}")
set(id "${CMAKE_MATCH_1}")
string(REGEX MATCH "<launchable type=\"desktop-id\">([^<]*)</launchable>" _ "${metainfo}")
set(launchable "${CMAKE_MATCH_1}")
if(NOT id STREQUAL APP_ID)
  message(FATAL_ERROR "The metainfo file of ${APP_ID} gives the id '${id}'")
endif()
if(NOT EXISTS ${root}/share/applications/${launchable})
  message(FATAL_ERROR "The AppStream data launches '${launchable}', which is not installed")
endif()
