# The web build (make web), read by CMakeLists.txt under Emscripten: the
# program as landscape.js and landscape.wasm, beside the page that runs it.
#
#   NODE_PATH=/usr/share/nodejs emcmake cmake -S . -B build-web -DCMAKE_BUILD_TYPE=Release
#   cmake --build build-web      # -> build-web/index.html, landscape.js, landscape.wasm
#
# Debian's emscripten needs NODE_PATH for its JavaScript tools, and cannot
# emit the page itself (-o landscape.html), so the page is web/index.html.
# A Release build without -g: debug information would be most of the wasm.

set(LANDSCAPE_WEB_DIR ${CMAKE_SOURCE_DIR}/web)
target_link_options(landscape PRIVATE
  --pre-js ${LANDSCAPE_WEB_DIR}/pre.js
  -sENVIRONMENT=web
)
set_property(TARGET landscape APPEND PROPERTY LINK_DEPENDS ${LANDSCAPE_WEB_DIR}/pre.js)
configure_file(${LANDSCAPE_WEB_DIR}/index.html ${CMAKE_BINARY_DIR}/index.html COPYONLY)
