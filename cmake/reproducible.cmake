# SPDX-License-Identifier: MIT
# Downloads that come out the same to the byte whoever builds them, wherever and whenever
# (option RMS_REPRODUCIBLE, on in the release presets). Left off in everyday builds, whose
# debug information should point at the real source folder.
#
# What a build would otherwise take from its surroundings:
#   - the source and build folders, which reach the objects through __FILE__, debug
#     information and the generated moc and rcc files: mapped to fixed names;
#   - the Qt kit's folder (the Windows kit lives wherever its user unpacked it): the same;
#   - the link time, which MinGW's ld writes into every PE header.
# Times and modes of the packaged files are set in cmake/reproducible_staging.cmake.
option(RMS_REPRODUCIBLE "Build paths and link times stay out of the binaries" OFF)

function(rms_reproducible_flags)
  if(NOT RMS_REPRODUCIBLE OR MSVC)
    return()
  endif()
  set(name korvath-rms-${PROJECT_VERSION})
  # GCC tries the last matching map first, so the build folder, which may sit inside the
  # source folder, comes after it.
  set(maps ${PROJECT_SOURCE_DIR}=${name} ${PROJECT_BINARY_DIR}=${name}/build)
  if(QT6_INSTALL_PREFIX AND NOT QT6_INSTALL_PREFIX MATCHES "^/usr/?$")
    list(PREPEND maps ${QT6_INSTALL_PREFIX}=qt)
  endif()
  foreach(map IN LISTS maps)
    add_compile_options(-ffile-prefix-map=${map})
  endforeach()
  if(WIN32 AND MINGW)
    add_link_options(-Wl,--no-insert-timestamp)
  endif()
endfunction()
