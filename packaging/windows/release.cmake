# SPDX-License-Identifier: MIT
# The Windows release built on Linux with MinGW-w64 (preset windows-mingw-cross): one folder
# with the program, the Qt libraries and plugins it loads, the MinGW runtime and the licences,
# which cpack packs as a portable ZIP and as an NSIS installer. Qt's deployment tool does not
# run in a cross build, so the files are named here; scripts/windows_check.sh proves that
# every DLL the folder's programs import is in it. Included from packaging/CMakeLists.txt.

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
set(CPACK_PACKAGE_FILE_NAME korvath-rms-${PROJECT_VERSION}-windows-x86_64)
set(CPACK_OUTPUT_FILE_PREFIX release)
set(CPACK_STRIP_FILES ON)
# The NSIS settings below carry quotes and NSIS variables into the script as they stand.
set(CPACK_VERBATIM_VARIABLES ON)

# Per machine, under Program Files, with one key for every version so that an installation
# over an older one finds it and runs its uninstaller first.
set(CPACK_PACKAGE_INSTALL_DIRECTORY "Korvath RMS")
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY "Korvath RMS")
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
set(CPACK_NSIS_PACKAGE_NAME "Korvath RMS calculator")
set(CPACK_NSIS_DISPLAY_NAME "Korvath RMS calculator")
# The installer's script is CPack's, with the replacement of an older version made ours
# (NSIS.template.in beside this file): it never waits for a click under /S.
set(CPACK_MODULE_PATH ${CMAKE_CURRENT_LIST_DIR})
set(CPACK_NSIS_INSTALLED_ICON_NAME korvath-rms.exe)
set(CPACK_NSIS_MUI_ICON ${RMS_ICO_FILE})
set(CPACK_NSIS_MUI_UNIICON ${RMS_ICO_FILE})
set(CPACK_NSIS_URL_INFO_ABOUT "${PROJECT_HOMEPAGE_URL}")
set(CPACK_NSIS_MANIFEST_DPI_AWARE ON)
set(CPACK_NSIS_COMPRESSOR "/SOLID lzma")
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_CURRENT_BINARY_DIR}/LICENSE.txt)

# The program sits at the top of the folder, not in bin/ where CPack's own shortcut code
# looks, so the Start-menu entry is made here.
set(rms_shortcut "Korvath RMS calculator.lnk")
set(CPACK_NSIS_CREATE_ICONS_EXTRA
  "  CreateShortCut \"$SMPROGRAMS\\$STARTMENU_FOLDER\\${rms_shortcut}\" \"$INSTDIR\\korvath-rms.exe\"")
# CPack's uninstaller removes the program's key under the vendor's but not the vendor's key
# itself; an empty one goes too.
set(CPACK_NSIS_DELETE_ICONS_EXTRA "  Delete \"$SMPROGRAMS\\$MUI_TEMP\\${rms_shortcut}\"
  DeleteRegKey /ifempty SHCTX \"Software\\${CPACK_PACKAGE_VENDOR}\"")

# Debian's makensis writes a 32-bit installer unless told otherwise; Windows on x86-64 runs
# either, but the installer of a 64-bit program should be one too. The version record is
# the program's: "1.00" as text, 1.0.0.0 as numbers.
string(REPLACE "," "." rms_version_dots "${RMS_VERSION_COMMAS}")
set(CPACK_NSIS_DEFINES "  Target amd64-unicode
  VIProductVersion ${rms_version_dots}
  VIFileVersion ${rms_version_dots}
  VIAddVersionKey /LANG=1033 ProductName \"Korvath RMS calculator\"
  VIAddVersionKey /LANG=1033 ProductVersion \"${PROJECT_VERSION}\"
  VIAddVersionKey /LANG=1033 FileVersion \"${PROJECT_VERSION}\"
  VIAddVersionKey /LANG=1033 FileDescription \"Korvath RMS calculator ${PROJECT_VERSION} setup\"
  VIAddVersionKey /LANG=1033 CompanyName \"${CPACK_PACKAGE_VENDOR}\"
  VIAddVersionKey /LANG=1033 LegalCopyright \"Copyright (C) 2026 The Korvath RMS calculator authors\"")

# Per machine only: CPack's script would put a user without administrator rights into a
# folder of their own, so stop before anything is written and say why.
set(CPACK_NSIS_EXTRA_PREINSTALL_COMMANDS "UserInfo::GetAccountType
  Pop $0
  StrCmp $0 \"Admin\" rms_admin
    SetOutPath \"$TEMP\"
    RMDir \"$INSTDIR\"
    MessageBox MB_OK|MB_ICONSTOP \"Korvath RMS calculator installs for all users of this computer. Run the setup as an administrator.\" /SD IDOK
    Abort
  rms_admin:")

# A setup that fails half way (a full disk, say) takes its files away again. The list is the
# installation's own; files of an older version were removed before by its uninstaller.
set(rms_installed_files korvath-rms.exe korvath-rms.com LICENSE.txt ${rms_bundled_dlls})
foreach(licence IN LISTS rms_licences)
  get_filename_component(name ${licence} NAME)
  list(APPEND rms_installed_files licenses/${name})
endforeach()
set(rms_remove_files)
foreach(file IN LISTS rms_installed_files)
  string(REPLACE "/" "\\" file "${file}")
  string(APPEND rms_remove_files "  Delete \"$INSTDIR\\${file}\"\n")
endforeach()
string(APPEND CPACK_NSIS_DEFINES "
Function .onInstFailed
${rms_remove_files}  SetOutPath \"$TEMP\"
  RMDir \"$INSTDIR\\platforms\"
  RMDir \"$INSTDIR\\styles\"
  RMDir \"$INSTDIR\\licenses\"
  RMDir \"$INSTDIR\"
FunctionEnd")

# Windows keeps a running program's file locked: an uninstall while it runs stops before it
# removes anything, and says why (exit status 2 when silent) instead of leaving files behind.
# The console twin may be running a batch.
set(CPACK_NSIS_EXTRA_UNINSTALL_COMMANDS "")
foreach(program IN ITEMS exe com)
  string(APPEND CPACK_NSIS_EXTRA_UNINSTALL_COMMANDS "  IfFileExists \"$INSTDIR\\korvath-rms.${program}\" 0 rms_${program}_absent
  ClearErrors
  FileOpen $0 \"$INSTDIR\\korvath-rms.${program}\" a
  IfErrors 0 rms_${program}_closed
    MessageBox MB_OK|MB_ICONSTOP \"Korvath RMS calculator is running. Close it, then uninstall again.\" /SD IDOK
    DetailPrint \"Korvath RMS calculator is running: nothing was removed.\"
    SetErrorLevel 2
    Abort
  rms_${program}_closed:
  FileClose $0
  rms_${program}_absent:
")
endforeach()
