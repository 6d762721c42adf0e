# SPDX-License-Identifier: MIT
# The icon's picture is two committed 16-colour images, 16 and 32 pixels square, in
# packaging/icons/. Every other icon file is made from them here by ImageMagick, icotool
# and png2icns. A larger size repeats each pixel of the image it is a whole multiple of,
# which keeps the hard edges of pixel art. Nothing written carries a time or a path, so the
# same images give the same bytes.
set(RMS_ICON_DIR ${PROJECT_SOURCE_DIR}/packaging/icons)
# Where a platform crops the icon to a shape of its own, the picture stands on this: the
# grey of the case, the frame's own colour.
set(RMS_ICON_CANVAS "#c0c0c0")

# rms_icon_png(<output> PIXELS <n> [CANVAS <m>] [RGBA]): the picture at n pixels, centred on
# an m-pixel square of the canvas grey if CANVAS is given; RGBA writes 8-bit RGBA in place of
# ImageMagick's choice (a palette), for tools that read no other kind.
function(rms_icon_png output)
  cmake_parse_arguments(ARG "RGBA" "PIXELS;CANVAS" "" ${ARGN})
  find_program(RMS_MAGICK NAMES magick convert NO_CMAKE_FIND_ROOT_PATH REQUIRED)
  math(EXPR by32 "${ARG_PIXELS} % 32")
  math(EXPR by16 "${ARG_PIXELS} % 16")
  if(by32 EQUAL 0)
    set(source 32)
  elseif(by16 EQUAL 0)
    set(source 16)
  else()
    message(FATAL_ERROR "An icon of ${ARG_PIXELS} pixels is no whole multiple of the picture")
  endif()
  math(EXPR percent "${ARG_PIXELS} * 100 / ${source}")
  set(canvas)
  if(ARG_CANVAS)
    set(canvas -background ${RMS_ICON_CANVAS} -gravity center
        -extent ${ARG_CANVAS}x${ARG_CANVAS})
  endif()
  set(format)
  if(ARG_RGBA)
    set(format PNG32:)
  endif()
  set(picture ${RMS_ICON_DIR}/${RMS_PROGRAM}-${source}.png)
  add_custom_command(OUTPUT ${output}
    COMMAND ${RMS_MAGICK} ${picture} -sample ${percent}% ${canvas}
            -strip -define png:exclude-chunks=date,time ${format}${output}
    DEPENDS ${picture}
    VERBATIM)
endfunction()

# rms_icon_ico(<output>): the Windows icon, both images as they are.
function(rms_icon_ico output)
  find_program(RMS_ICOTOOL icotool NO_CMAKE_FIND_ROOT_PATH REQUIRED)
  add_custom_command(OUTPUT ${output}
    COMMAND ${RMS_ICOTOOL} -c -o ${output} ${RMS_ICON_DIR}/${RMS_PROGRAM}-32.png
            ${RMS_ICON_DIR}/${RMS_PROGRAM}-16.png
    DEPENDS ${RMS_ICON_DIR}/${RMS_PROGRAM}-32.png ${RMS_ICON_DIR}/${RMS_PROGRAM}-16.png
    VERBATIM)
endfunction()

# rms_icon_icns(<output>): the macOS icon family from 16 to 512 pixels; png2icns reads
# RGBA images only, written beside the output.
function(rms_icon_icns output)
  find_program(RMS_PNG2ICNS png2icns NO_CMAKE_FIND_ROOT_PATH REQUIRED)
  get_filename_component(name ${output} NAME_WE)
  get_filename_component(dir ${output} DIRECTORY)
  set(images)
  foreach(pixels IN ITEMS 16 32 128 256 512)
    set(image ${dir}/${name}-icns-${pixels}.png)
    rms_icon_png(${image} PIXELS ${pixels} RGBA)
    list(APPEND images ${image})
  endforeach()
  add_custom_command(OUTPUT ${output}
    COMMAND ${RMS_PNG2ICNS} ${output} ${images}
    DEPENDS ${images}
    VERBATIM)
endfunction()

# rms_site_icons(<folder> <variable>): the page's icons in the site's folder, their paths in
# the variable: the program's own, the manifest's (a maskable one keeps the picture inside
# the circle of 80 % of the width that every crop keeps) and the home screen's, whose
# corners iOS rounds and whose 180 pixels are no whole multiple of the picture.
function(rms_site_icons site variable)
  add_custom_command(OUTPUT ${site}/icon.png
    COMMAND ${CMAKE_COMMAND} -E copy ${RMS_ICON_DIR}/${RMS_PROGRAM}-32.png ${site}/icon.png
    DEPENDS ${RMS_ICON_DIR}/${RMS_PROGRAM}-32.png)
  rms_icon_png(${site}/icon-192.png PIXELS 192)
  rms_icon_png(${site}/icon-512.png PIXELS 512)
  rms_icon_png(${site}/icon-maskable-512.png PIXELS 256 CANVAS 512)
  rms_icon_png(${site}/apple-touch-icon.png PIXELS 160 CANVAS 180)
  set(${variable} ${site}/icon.png ${site}/icon-192.png ${site}/icon-512.png
      ${site}/icon-maskable-512.png ${site}/apple-touch-icon.png PARENT_SCOPE)
endfunction()
