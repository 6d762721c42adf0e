# SPDX-License-Identifier: MIT
# The Windows release built on Linux with MinGW-w64 (preset windows-mingw-cross): one folder
# with the program, the Qt libraries and plugins it loads, the MinGW runtime and the licences,
# which cpack packs as a portable ZIP and as an NSIS installer. Qt's deployment tool does not
# run in a cross build, so the files are named here; tests/packaging/check_windows.cmake proves
# that every DLL the folder's programs import is in it, and that each one is needed. Included
# from packaging/CMakeLists.txt.

install(TARGETS ${RMS_PROGRAMS} RUNTIME DESTINATION .)
install(FILES $<TARGET_FILE:Qt6::Core> $<TARGET_FILE:Qt6::Gui> $<TARGET_FILE:Qt6::Widgets>
  DESTINATION .)
# Without the platform plugin Qt stops with its "no Qt platform plugin" box; without the style
# the window takes the old Windows look.
install(FILES $<TARGET_FILE:Qt6::QWindowsIntegrationPlugin> DESTINATION platforms)
install(FILES $<TARGET_FILE:Qt6::QWindowsVistaStylePlugin> DESTINATION styles)

set(rms_runtime_dlls)
foreach(dll IN ITEMS libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
    OUTPUT_VARIABLE path OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
  if(NOT IS_ABSOLUTE "${path}" OR NOT EXISTS "${path}")
    message(FATAL_ERROR "${CMAKE_CXX_COMPILER} does not know where ${dll} is")
  endif()
  file(REAL_PATH "${path}" path)
  list(APPEND rms_runtime_dlls "${path}")
endforeach()
install(FILES ${rms_runtime_dlls} DESTINATION .)

# The bundled DLLs come with their debug sections, which an install's stripping (cmake
# --install --strip, cpack's CPACK_STRIP_FILES) leaves alone as they are not targets of this
# project: strip them here, which halves the release.
# The names are spelt out, as the installer's clean-up below needs them at configure time; a
# name that does not match an installed file stops the stripping install.
set(rms_bundled_dlls Qt6Core.dll Qt6Gui.dll Qt6Widgets.dll platforms/qwindows.dll
  styles/qwindowsvistastyle.dll libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
install(CODE "set(rms_strip \"${CMAKE_STRIP}\")\nset(rms_dlls \"${rms_bundled_dlls}\")")
install(CODE [[
  if(CMAKE_INSTALL_DO_STRIP)
    foreach(dll IN LISTS rms_dlls)
      execute_process(COMMAND "${rms_strip}" --strip-unneeded
                              "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/${dll}"
        COMMAND_ERROR_IS_FATAL ANY)
    endforeach()
  endif()
]])

# The licences, with Windows line ends so that every text viewer shows their lines: the
# program's beside it, those of the bundled libraries in licenses/ (README.txt there says which
# is which and where Qt's source is).
set(rms_licence_dir ${CMAKE_CURRENT_BINARY_DIR}/licenses)
function(rms_crlf_copy source destination)
  file(READ ${source} text)
  string(REPLACE "\r\n" "\n" text "${text}")
  string(REPLACE "\n" "\r\n" text "${text}")
  file(WRITE ${destination} "${text}")
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${source})
endfunction()
rms_crlf_copy(${PROJECT_SOURCE_DIR}/LICENSE ${CMAKE_CURRENT_BINARY_DIR}/LICENSE.txt)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/LICENSE.txt DESTINATION .)
file(GLOB rms_licences ${CMAKE_CURRENT_SOURCE_DIR}/windows/licenses/*.txt)
foreach(licence IN LISTS rms_licences)
  get_filename_component(name ${licence} NAME)
  rms_crlf_copy(${licence} ${rms_licence_dir}/${name})
  install(FILES ${rms_licence_dir}/${name} DESTINATION licenses)
endforeach()

# --- Packages: `cpack -G ZIP` and `cpack -G NSIS` ---------------------------------------
set(CPACK_GENERATOR ZIP NSIS)
set(CPACK_PACKAGE_FILE_NAME ${RMS_PROGRAM}-${PROJECT_VERSION}-windows-x86_64)
set(CPACK_OUTPUT_FILE_PREFIX release)
set(CPACK_STRIP_FILES ON)
# The NSIS settings below carry quotes and NSIS variables into the script as they stand.
set(CPACK_VERBATIM_VARIABLES ON)

# Per machine, under Program Files, with one key for every version so that an installation
# over an older one finds it and runs its uninstaller first.
set(CPACK_PACKAGE_INSTALL_DIRECTORY "${RMS_SHORT_NAME}")
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY "${RMS_SHORT_NAME}")
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
set(CPACK_NSIS_PACKAGE_NAME "${RMS_PRODUCT}")
set(CPACK_NSIS_DISPLAY_NAME "${RMS_PRODUCT}")
set(CPACK_NSIS_INSTALLED_ICON_NAME ${RMS_PROGRAM}.exe)
set(CPACK_NSIS_MUI_ICON ${RMS_ICO_FILE})
set(CPACK_NSIS_MUI_UNIICON ${RMS_ICO_FILE})
set(CPACK_NSIS_URL_INFO_ABOUT "${PROJECT_HOMEPAGE_URL}")
set(CPACK_NSIS_MANIFEST_DPI_AWARE ON)
set(CPACK_NSIS_COMPRESSOR "/SOLID lzma")
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_CURRENT_BINARY_DIR}/LICENSE.txt)

# Our part of the installer (windows/korvath-rms.nsh.in): the version record, the running-
# program checks, the replacement of an older version once it can go, the Start-menu entry,
# and the file lists, which are the installation's own. CPack's question in .onInit whether
# to remove an older version is left off: ours runs from the install section and never
# waits for a click under /S.
string(REPLACE "," "." rms_version_dots "${RMS_VERSION_COMMAS}")
set(rms_nsis_date_save on)
if(RMS_REPRODUCIBLE)
  set(rms_nsis_date_save off)
endif()
set(rms_licence_files LICENSE.txt)
foreach(licence IN LISTS rms_licences)
  get_filename_component(name ${licence} NAME)
  list(APPEND rms_licence_files licenses/${name})
endforeach()
set(rms_installed_files ${RMS_PROGRAM}.exe ${RMS_PROGRAM}.com ${rms_bundled_dlls}
  ${rms_licence_files})
list(SORT rms_installed_files)
set(rms_folders ${rms_installed_files})
list(FILTER rms_folders INCLUDE REGEX "/")
list(TRANSFORM rms_folders REPLACE "/[^/]*$" "")
list(REMOVE_DUPLICATES rms_folders)
list(SORT rms_folders ORDER DESCENDING)
set(rms_nsis_delete_files "")
foreach(file IN LISTS rms_installed_files)
  string(REPLACE "/" "\\" file "${file}")
  string(APPEND rms_nsis_delete_files "  Delete \"$INSTDIR\\${file}\"\n")
endforeach()
set(rms_nsis_delete_folders "")
foreach(folder IN LISTS rms_folders)
  string(REPLACE "/" "\\" folder "${folder}")
  string(APPEND rms_nsis_delete_folders "  RMDir \"$INSTDIR\\${folder}\"\n")
endforeach()
set(RMS_NSIS_INCLUDE ${CMAKE_CURRENT_BINARY_DIR}/korvath-rms.nsh)
configure_file(windows/korvath-rms.nsh.in ${RMS_NSIS_INCLUDE} @ONLY)
set(CPACK_NSIS_DEFINES "  !include \"${RMS_NSIS_INCLUDE}\"")
set(CPACK_NSIS_EXTRA_PREINSTALL_COMMANDS "  !insertmacro rmsBeforeInstall")
set(CPACK_NSIS_EXTRA_UNINSTALL_COMMANDS "  !insertmacro rmsBeforeUninstall")
set(CPACK_NSIS_CREATE_ICONS_EXTRA "  !insertmacro rmsCreateShortcut")
set(CPACK_NSIS_DELETE_ICONS_EXTRA "  !insertmacro rmsDeleteShortcut")
set(CPACK_NSIS_DELETE_FILES "  !insertmacro rmsDeleteFiles")
set(CPACK_NSIS_DELETE_DIRECTORIES "  !insertmacro rmsDeleteFolders")
set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL OFF)

# --- Tests of the release: `ctest` in this build folder (scripts/windows_release.sh --test) --
# cpack makes the two files; they are checked as they stand, then used under Wine as a user
# would, beside the Linux program built from the same source.
set(RMS_LINUX_PROGRAM ${PROJECT_SOURCE_DIR}/build-linux/app/${RMS_PROGRAM} CACHE FILEPATH
  "The Linux program whose results the Windows program must give under Wine")
set(RMS_PREVIOUS_SETUP "" CACHE FILEPATH
  "The installer of the release before, which this one must upgrade (test windows_wine_previous)")
find_path(RMS_WINDOWS_DLLS kernel32.dll NO_CACHE NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH
  PATHS /usr/lib/x86_64-linux-gnu/wine/x86_64-windows /usr/lib/wine/x86_64-windows)
set(rms_release ${CMAKE_BINARY_DIR}/${CPACK_OUTPUT_FILE_PREFIX}/${CPACK_PACKAGE_FILE_NAME})
add_test(NAME windows_packages
  COMMAND ${CMAKE_CPACK_COMMAND} --config ${CMAKE_BINARY_DIR}/CPackConfig.cmake
  WORKING_DIRECTORY ${CMAKE_BINARY_DIR})
add_test(NAME windows_static
  COMMAND ${CMAKE_COMMAND} -DZIP=${rms_release}.zip -DSETUP=${rms_release}.exe
          -DWORK_DIR=${CMAKE_BINARY_DIR}/check-static -DVERSION=${PROJECT_VERSION}
          -DPROGRAM=${RMS_PROGRAM} "-DLICENCES=${rms_licence_files}" -DICON=${RMS_ICO_FILE}
          -DNSIS_INCLUDE=${RMS_NSIS_INCLUDE} -DOBJDUMP=${CMAKE_OBJDUMP}
          -DWINDOWS_DLLS=${RMS_WINDOWS_DLLS}
          -P ${PROJECT_SOURCE_DIR}/tests/packaging/check_windows.cmake)
add_test(NAME windows_wine
  COMMAND bash ${PROJECT_SOURCE_DIR}/tests/windows/wine_session.sh ${RMS_LINUX_PROGRAM}
          ${rms_release}.zip ${rms_release}.exe)
add_test(NAME windows_wine_previous
  COMMAND bash ${PROJECT_SOURCE_DIR}/tests/windows/wine_session.sh
          --previous=${RMS_PREVIOUS_SETUP} ${RMS_LINUX_PROGRAM} ${rms_release}.zip
          ${rms_release}.exe)
set_tests_properties(windows_packages PROPERTIES FIXTURES_SETUP windows_release)
set_tests_properties(windows_static windows_wine windows_wine_previous PROPERTIES
  FIXTURES_REQUIRED windows_release)
set_tests_properties(windows_static PROPERTIES SKIP_REGULAR_EXPRESSION "check_windows: cannot run here")
set(rms_wine_environment RMS_VERSION=${PROJECT_VERSION} RMS_PROGRAM=${RMS_PROGRAM}
  RMS_PRODUCT=${RMS_PRODUCT} RMS_MAKER=${RMS_MAKER}
  RMS_INSTALL_DIR=${CPACK_PACKAGE_INSTALL_DIRECTORY})
# Both sessions use one X display and Wine's server: one at a time.
set_tests_properties(windows_wine windows_wine_previous PROPERTIES SKIP_RETURN_CODE 77
  TIMEOUT 1800 RESOURCE_LOCK wine_display)
set_tests_properties(windows_wine PROPERTIES
  ENVIRONMENT "${rms_wine_environment};WORK=${CMAKE_BINARY_DIR}/check")
set_tests_properties(windows_wine_previous PROPERTIES
  ENVIRONMENT "${rms_wine_environment};WORK=${CMAKE_BINARY_DIR}/check-previous")
set_tests_properties(windows_packages windows_static windows_wine windows_wine_previous
  PROPERTIES LABELS windows)
