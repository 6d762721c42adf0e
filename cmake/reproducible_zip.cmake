# SPDX-License-Identifier: MIT
# Run by cpack (CPACK_POST_BUILD_SCRIPTS) after it has packed: its ZIP writer takes the
# order of the entries from the file system's directories, local times from the builder's
# time zone and the owner's user id, so each ZIP is packed again from the same staged files
# by scripts/release_zip.py. Other packages are left as they are.
# Everyday builds, which have no SOURCE_DATE_EPOCH, get the time of packing.
if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})
  string(TIMESTAMP now "%s" UTC)
  set(ENV{SOURCE_DATE_EPOCH} "${now}")
endif()
foreach(package IN LISTS CPACK_PACKAGE_FILES)
  if(NOT package MATCHES "\\.zip$")
    continue()
  endif()
  get_filename_component(top "${package}" NAME)
  string(REGEX REPLACE "\\.zip$" "" top "${top}")
  set(staged "${CPACK_TEMPORARY_DIRECTORY}")
  if(NOT IS_DIRECTORY "${staged}/${top}" AND NOT staged MATCHES "/${top}$")
    message(FATAL_ERROR "No staged files for ${package} in ${staged}")
  endif()
  if(IS_DIRECTORY "${staged}/${top}")
    set(staged "${staged}/${top}")
  endif()
  execute_process(COMMAND "${CPACK_RMS_PYTHON}" "${CPACK_RMS_ZIP_SCRIPT}" "${staged}" "${top}"
                          "${package}"
    COMMAND_ERROR_IS_FATAL ANY)
endforeach()
