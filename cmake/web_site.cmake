# Puts together the folder to publish, run as a script after each web build:
#   cmake -DSITE=dir -DPAGE=web -DICONS=data/icons -DPROGRAM=dir -DVERSION=1.0.0 -P cmake/web_site.cmake
# SITE gets exactly the page (PAGE/index.html), the program (PROGRAM/
# landscape.js and landscape.wasm), the manifest, the icons it names and
# the favicon (from ICONS), and the service worker written from PAGE's
# template with their list and a hash of their contents. A file is only
# rewritten when it changed. Anything else in SITE is removed when SITE is
# an earlier site or an old CMake build tree, and stops the build otherwise.
cmake_minimum_required(VERSION 3.16)

set(icon_sizes 32 192 512)   # the favicon, the manifest's icons
set(sources ${PAGE}/index.html ${PAGE}/manifest.webmanifest ${PROGRAM}/landscape.js ${PROGRAM}/landscape.wasm)
foreach(size ${icon_sizes})
  list(APPEND sources ${ICONS}/landscape-${size}.png)
endforeach()
set(worker service-worker.js)

set(published ${worker})
foreach(source ${sources})
  get_filename_component(name ${source} NAME)
  list(APPEND published ${name})
endforeach()

if(EXISTS ${SITE})
  file(GLOB entries LIST_DIRECTORIES true RELATIVE ${SITE} ${SITE}/* ${SITE}/.*)
  set(foreign ${entries})
  list(REMOVE_ITEM foreign ${published})
  if(foreign)
    if(NOT EXISTS ${SITE}/${worker} AND NOT EXISTS ${SITE}/CMakeCache.txt)
      string(REPLACE ";" " " foreign "${foreign}")
      message(FATAL_ERROR "${SITE} holds files that are not the web site's (${foreign}): "
                          "choose an empty folder for the site, or empty this one")
    endif()
    foreach(entry ${foreign})
      file(REMOVE_RECURSE ${SITE}/${entry})
    endforeach()
  endif()
endif()
file(MAKE_DIRECTORY ${SITE})

# The cache name's hash: every file's name and SHA-256, in a fixed order.
# The worker's list: every file but the worker itself.
set(digests "")
set(LANDSCAPE_SITE_FILES "")
foreach(source ${sources})
  get_filename_component(name ${source} NAME)
  file(SHA256 ${source} digest)
  string(APPEND digests "${name} ${digest}\n")
  string(APPEND LANDSCAPE_SITE_FILES "'${name}', ")
  execute_process(COMMAND ${CMAKE_COMMAND} -E copy_if_different ${source} ${SITE}/${name} RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "cannot copy ${source} into ${SITE}")
  endif()
endforeach()
string(SHA256 LANDSCAPE_SITE_HASH "${digests}")
string(SUBSTRING ${LANDSCAPE_SITE_HASH} 0 16 LANDSCAPE_SITE_HASH)
set(LANDSCAPE_VERSION ${VERSION})
string(REGEX REPLACE ", $" "" LANDSCAPE_SITE_FILES "${LANDSCAPE_SITE_FILES}")
configure_file(${PAGE}/${worker} ${SITE}/${worker} @ONLY)
