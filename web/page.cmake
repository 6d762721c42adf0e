# SPDX-License-Identifier: MIT
# Writes the page with its window:
#   cmake -DWINDOW=prefix -DTEMPLATE=index.html.in -DOUTPUT=index.html -P page.cmake
# where prefix.caption, prefix.attributes and prefix.markup are page_window's answers.
foreach(part IN ITEMS caption attributes markup)
  file(SIZE ${WINDOW}.${part} size)
  if(size EQUAL 0)
    message(FATAL_ERROR "page_window wrote no ${part}")
  endif()
endforeach()
file(READ ${WINDOW}.caption RMS_CAPTION)
string(STRIP "${RMS_CAPTION}" RMS_CAPTION)
file(READ ${WINDOW}.attributes RMS_WINDOW)
string(STRIP "${RMS_WINDOW}" RMS_WINDOW)
file(READ ${WINDOW}.markup RMS_MARKUP)
configure_file(${TEMPLATE} ${OUTPUT} @ONLY)
