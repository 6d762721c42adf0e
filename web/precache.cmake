# SPDX-License-Identifier: MIT
# Writes the site's service worker:
#   cmake -DSITE=folder -DTEMPLATE=sw.js.in [-DFILES=a,b,...] -P precache.cmake
# Every file of the site but the worker itself is precached, and the cache is named from
# their names and contents, so the same site always gets the same name and any change a new
# one.
# With FILES (comma-separated), the build names the site's files, and any other file in the
# folder, a leftover of an older build, is removed.
cmake_minimum_required(VERSION 3.25)
file(GLOB files RELATIVE ${SITE} ${SITE}/*)
list(REMOVE_ITEM files sw.js)
if(DEFINED FILES)
  string(REPLACE "," ";" wanted "${FILES}")
  foreach(file IN LISTS files)
    if(NOT file IN_LIST wanted)
      file(REMOVE_RECURSE ${SITE}/${file})
    endif()
  endforeach()
  set(files ${wanted})
endif()
list(SORT files)
set(digests "")
set(list "")
foreach(file IN LISTS files)
  file(SHA256 ${SITE}/${file} digest)
  string(APPEND digests "${file} ${digest}\n")
  string(APPEND list "\n  '${file}',")
endforeach()
string(SHA256 name "${digests}")
string(SUBSTRING ${name} 0 16 name)
set(RMS_CACHE ${name})
set(RMS_FILES "${list}\n")
configure_file(${TEMPLATE} ${SITE}/sw.js @ONLY)
