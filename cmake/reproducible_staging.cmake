# SPDX-License-Identifier: MIT
# Run by cpack (CPACK_PRE_BUILD_SCRIPTS) on the installed files before it packs them: the
# packages store each file's mode and time, which would otherwise follow the builder's umask
# and clock. Modes become 755 for folders and programs and 644 for the rest; times become
# SOURCE_DATE_EPOCH.
if(NOT IS_DIRECTORY "${CPACK_TEMPORARY_INSTALL_DIRECTORY}")
  message(FATAL_ERROR "No staging folder for the package: '${CPACK_TEMPORARY_INSTALL_DIRECTORY}'")
endif()
set(rwx OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(rw OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
file(GLOB_RECURSE entries LIST_DIRECTORIES true "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*")
list(APPEND entries "${CPACK_TEMPORARY_INSTALL_DIRECTORY}")
foreach(entry IN LISTS entries)
  if(IS_SYMLINK "${entry}")
    continue()
  endif()
  if(IS_DIRECTORY "${entry}")
    file(CHMOD "${entry}" PERMISSIONS ${rwx})
  else()
    # Whether the installation made it a program is all that survives of its old mode.
    execute_process(COMMAND test -x "${entry}" RESULT_VARIABLE not_executable)
    if(not_executable)
      file(CHMOD "${entry}" PERMISSIONS ${rw})
    else()
      file(CHMOD "${entry}" PERMISSIONS ${rwx})
    endif()
  endif()
endforeach()
if(DEFINED ENV{SOURCE_DATE_EPOCH})
  execute_process(COMMAND touch --no-dereference --date=@$ENV{SOURCE_DATE_EPOCH} ${entries}
    COMMAND_ERROR_IS_FATAL ANY)
endif()
