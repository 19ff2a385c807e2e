# The web build (make web), read by CMakeLists.txt under Emscripten: the
# program as landscape.js and landscape.wasm, and the folder to publish,
# LANDSCAPE_WEB_SITE, with them, the page, its manifest, icons and service
# worker (cmake/web_site.cmake puts it together after every build).
#
#   NODE_PATH=/usr/share/nodejs emcmake cmake -S . -B build-web-cmake -DCMAKE_BUILD_TYPE=Release \
#     -DLANDSCAPE_WEB_SITE=$PWD/build-web
#   cmake --build build-web-cmake      # -> build-web/index.html, landscape.js, landscape.wasm, ...
#
# Debian's emscripten needs NODE_PATH for its JavaScript tools, and cannot
# emit the page itself (-o landscape.html), so the page is web/index.html.
# A Release build without -g: debug information would be most of the wasm.

set(LANDSCAPE_WEB_DIR ${CMAKE_SOURCE_DIR}/web)
set(LANDSCAPE_WEB_SITE ${CMAKE_BINARY_DIR}/site CACHE PATH
  "The web site's folder: exactly the files to publish, nothing of the build tree")
target_link_options(landscape PRIVATE
  --pre-js ${LANDSCAPE_WEB_DIR}/pre.js
  -sENVIRONMENT=web
)
set_property(TARGET landscape APPEND PROPERTY LINK_DEPENDS ${LANDSCAPE_WEB_DIR}/pre.js)
# Run on every build: it only copies what changed, and so puts back a file
# removed from the site by hand.
add_custom_target(web_site ALL
  COMMAND ${CMAKE_COMMAND} -DSITE=${LANDSCAPE_WEB_SITE} -DPAGE=${LANDSCAPE_WEB_DIR}
          -DICONS=${CMAKE_SOURCE_DIR}/data/icons -DPROGRAM=$<TARGET_FILE_DIR:landscape>
          -DVERSION=${PROJECT_VERSION} -P ${CMAKE_SOURCE_DIR}/cmake/web_site.cmake
  DEPENDS landscape
  COMMENT "The web site in ${LANDSCAPE_WEB_SITE}"
  VERBATIM)
