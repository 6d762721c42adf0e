# SPDX-License-Identifier: MIT
# The files a package of the program holds, relative to the installation root, sorted.
# Needs APP_ID, the program's AppStream id.
set(INSTALLED_FILES
  usr/bin/korvath-rms
  usr/share/applications/korvath-rms.desktop
  usr/share/doc/korvath-rms/changelog.gz
  usr/share/doc/korvath-rms/copyright
  usr/share/icons/hicolor/16x16/apps/korvath-rms.png
  usr/share/icons/hicolor/192x192/apps/korvath-rms.png
  usr/share/icons/hicolor/32x32/apps/korvath-rms.png
  usr/share/icons/hicolor/512x512/apps/korvath-rms.png
  usr/share/man/man1/korvath-rms.1.gz
  usr/share/metainfo/${APP_ID}.metainfo.xml)

# Fails with both lists when `found` differs from INSTALLED_FILES.
function(expect_installed_files what found)
  list(SORT found)
  if(NOT found STREQUAL INSTALLED_FILES)
    list(JOIN found "\n  " found_text)
    list(JOIN INSTALLED_FILES "\n  " expected_text)
    message(FATAL_ERROR
      "${what} holds\n  ${found_text}\nbut should hold exactly\n  ${expected_text}")
  endif()
endfunction()
