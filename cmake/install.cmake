# What `cmake --install` puts in place for the desktop program, as Debian's
# games are laid out: the program in <prefix>/games (on every Debian user's
# PATH, /usr/local/games and /usr/games alike), and under <prefix>/share its
# icon at every size a desktop looks for, the desktop entry, the AppStream
# data and the man page. `make install`, `make uninstall` and the Debian
# package (debian/rules) all go through these rules.
#
# The prefix is taken when the build is configured (CMAKE_INSTALL_PREFIX,
# /usr/local unless set): the desktop entry and the man page name the
# program by its full path. DESTDIR only moves where the files are written.
include(GNUInstallDirs)

set(LANDSCAPE_INSTALLED_PROGRAM "${CMAKE_INSTALL_PREFIX}/games/landscape")
foreach(_data landscape.desktop:${LANDSCAPE_APP_ID}.desktop
              landscape.metainfo.xml:${LANDSCAPE_APP_ID}.metainfo.xml
              landscape.6:landscape.6)
  string(REPLACE ":" ";" _data "${_data}")
  list(GET _data 0 _template)
  list(GET _data 1 _installed)
  configure_file(data/${_template}.in "${CMAKE_BINARY_DIR}/data/${_installed}" @ONLY)
endforeach()

install(TARGETS landscape RUNTIME DESTINATION games)
# The icons the desktop's menus, software centres and window lists pick from.
foreach(_size 16 32 48 64 128 256)
  install(FILES data/icons/landscape-${_size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${_size}x${_size}/apps
          RENAME ${LANDSCAPE_APP_ID}.png)
endforeach()
install(FILES "${CMAKE_BINARY_DIR}/data/${LANDSCAPE_APP_ID}.desktop"
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES "${CMAKE_BINARY_DIR}/data/${LANDSCAPE_APP_ID}.metainfo.xml"
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES "${CMAKE_BINARY_DIR}/data/landscape.6" DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)

# `cmake --build <dir> --target uninstall` removes what `cmake --install
# <dir>` put there, under the same DESTDIR (cmake/uninstall.cmake).
add_custom_target(uninstall
  COMMAND ${CMAKE_COMMAND} "-DLANDSCAPE_BUILD_DIR=${CMAKE_BINARY_DIR}" -P "${CMAKE_CURRENT_SOURCE_DIR}/cmake/uninstall.cmake"
  VERBATIM)
add_dependencies(uninstall landscape)
