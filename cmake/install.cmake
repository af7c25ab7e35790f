# Installation as a desktop game (cmake --install) and its Debian package
# (cpack -G DEB).
#
#   bin/pachinko                      a launcher script: prepares the player's
#                                     folder, then starts the game there
#   libexec/pachinko/pachinko         the game itself
#   bin/pachinko-headless, -sim, -courses, -assets
#   share/pachinko/                   pictures, sounds, tama.dat, help, icon
#   share/applications/, share/metainfo/, share/icons/hicolor/NxN/apps/
#   share/man/man1/*.1.gz
#
# The game reads and writes its files in its working folder, which the
# launcher makes in the player's home (see packaging/pachinko.sh.in).
include(GNUInstallDirs)

# The application id names the desktop entry and the AppStream file. It must
# look like a reversed domain name; the project has no domain of its own, so
# the default lies under "example", a name reserved never to belong to anyone.
# A distributor with a domain sets his own.
set(PACHINKO_APP_ID "example.pachinko.Pachinko" CACHE STRING "Desktop application id (reversed domain name)")
# AppStream takes screenshots only from a web address. Left empty, the
# metainfo names none; set it to the http(s) folder where the pictures that
# the pachinko_screenshots target draws are published.
set(PACHINKO_SCREENSHOT_URL "" CACHE STRING "http(s) folder holding town.png and parlour.png for AppStream")
set(PACHINKO_PACKAGE_CONTACT "pachinko maintainers" CACHE STRING "Maintainer field of the Debian package")

set(PACHINKO_ICON_NAME pachinko)
set(PACHINKO_CONTENT_DIR ${CMAKE_INSTALL_DATADIR}/pachinko)
set(PACHINKO_GAME_EXE ${CMAKE_INSTALL_LIBEXECDIR}/pachinko/pachinko)
foreach(dir CMAKE_INSTALL_BINDIR CMAKE_INSTALL_DATADIR CMAKE_INSTALL_LIBEXECDIR CMAKE_INSTALL_MANDIR)
  if(IS_ABSOLUTE "${${dir}}")
    message(FATAL_ERROR "${dir} must be relative to the prefix: the launcher finds the game from its own place")
  endif()
endforeach()
file(RELATIVE_PATH PACHINKO_BIN_TO_PREFIX /prefix/${CMAKE_INSTALL_BINDIR} /prefix)

set(pkg_src ${PROJECT_SOURCE_DIR}/packaging)
set(pkg_out ${CMAKE_BINARY_DIR}/packaging)

# --- files made at configure time ---------------------------------------------
set(PACHINKO_METAINFO_SCREENSHOTS "")
if(PACHINKO_SCREENSHOT_URL)
  if(NOT PACHINKO_SCREENSHOT_URL MATCHES "^https?://[^/]")
    message(FATAL_ERROR "PACHINKO_SCREENSHOT_URL must be an http:// or https:// address")
  endif()
  string(REGEX REPLACE "/+$" "" shots "${PACHINKO_SCREENSHOT_URL}")
  string(CONCAT PACHINKO_METAINFO_SCREENSHOTS
    "  <screenshots>\n"
    "    <screenshot type=\"default\">\n"
    "      <caption>The town: home, bank, exchange booth and three parlours</caption>\n"
    "      <image type=\"source\" width=\"640\" height=\"416\">${shots}/town.png</image>\n"
    "    </screenshot>\n"
    "    <screenshot>\n"
    "      <caption>Playing a machine in a parlour</caption>\n"
    "      <image type=\"source\" width=\"640\" height=\"416\">${shots}/parlour.png</image>\n"
    "    </screenshot>\n"
    "  </screenshots>\n")
endif()
configure_file(${pkg_src}/pachinko.sh.in ${pkg_out}/pachinko @ONLY)
configure_file(${pkg_src}/pachinko.desktop.in ${pkg_out}/${PACHINKO_APP_ID}.desktop @ONLY)
configure_file(${pkg_src}/pachinko.metainfo.xml.in ${pkg_out}/${PACHINKO_APP_ID}.metainfo.xml @ONLY)

# --- files made at build time -------------------------------------------------
# The icon drawn afresh at each size a desktop asks for.
set(desktop_icon_sizes 32 64 128 256)
set(desktop_icons "")
foreach(size ${desktop_icon_sizes})
  list(APPEND desktop_icons ${pkg_out}/icons/pachinko-${size}.png)
endforeach()
add_custom_command(OUTPUT ${desktop_icons}
  COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen $<TARGET_FILE:pachinko-assets> --icons ${pkg_out}/icons
  DEPENDS pachinko-assets
  COMMENT "Drawing the desktop icons"
  VERBATIM)
add_custom_target(pachinko_desktop_icons ALL DEPENDS ${desktop_icons})

# Screenshots for software centres, drawn by the game itself on the headless
# backend (built by hand: cmake --build ... --target pachinko_screenshots).
add_custom_target(pachinko_screenshots
  COMMAND ${CMAKE_COMMAND} -E make_directory ${pkg_out}/screenshots/game
  COMMAND ${CMAKE_COMMAND} -E copy_directory ${PACHINKO_GAME_DIR} ${pkg_out}/screenshots/game
  COMMAND ${CMAKE_COMMAND} -E remove -f ${pkg_out}/screenshots/game/pachiko.dat
  COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_BINARY_DIR}/tools/courses/tama.dat ${pkg_out}/screenshots/game/
  COMMAND $<TARGET_FILE:pachinko-headless> --dir ${pkg_out}/screenshots/game --out ${pkg_out}/screenshots
          --script ${pkg_src}/screenshots.txt
  DEPENDS pachinko-headless pachinko_assets_files pachinko_courses_data
  COMMENT "Taking the screenshots into ${pkg_out}/screenshots"
  VERBATIM)

# --- install rules -------------------------------------------------------------
install(TARGETS pachinko RUNTIME DESTINATION ${CMAKE_INSTALL_LIBEXECDIR}/pachinko)
install(PROGRAMS ${pkg_out}/pachinko DESTINATION ${CMAKE_INSTALL_BINDIR})
set(tools pachinko-headless pachinko-courses pachinko-assets)
set(man_pages pachinko pachinko-headless pachinko-courses pachinko-assets)
if(TARGET pachinko-sim)
  list(APPEND tools pachinko-sim)
  list(APPEND man_pages pachinko-sim)
endif()
install(TARGETS ${tools} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# The content as generated. "tama.dat" comes from the generator's own output,
# not from the game folder, where it may have been edited in tuning mode; the
# game folder's "pachiko.dat" (a developer's saved game) is never installed.
install(DIRECTORY ${PACHINKO_GAME_DIR}/ DESTINATION ${PACHINKO_CONTENT_DIR}
  FILES_MATCHING PATTERN "*.bmp" PATTERN "*.wav" PATTERN "*.hlp" PATTERN "pachinko.png" PATTERN "pachinko.ico")
install(FILES ${CMAKE_BINARY_DIR}/tools/courses/tama.dat DESTINATION ${PACHINKO_CONTENT_DIR})

install(FILES ${pkg_out}/${PACHINKO_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${pkg_out}/${PACHINKO_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
foreach(size ${desktop_icon_sizes})
  install(FILES ${pkg_out}/icons/pachinko-${size}.png
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME ${PACHINKO_ICON_NAME}.png)
endforeach()

# The man pages name the installed paths, which are known only when
# installing (the package installs under /usr whatever the build's prefix).
install(CODE "
  set(PACHINKO_MAN_PAGES \"${man_pages}\")
  set(PACHINKO_MAN_SOURCE \"${pkg_src}/man\")
  set(PACHINKO_MAN_WORK \"${pkg_out}/man\")
  set(PACHINKO_MANDIR \"${CMAKE_INSTALL_MANDIR}\")
  set(PACHINKO_CONTENT_DIR \"${PACHINKO_CONTENT_DIR}\")
  set(PACHINKO_GAME_EXE \"${PACHINKO_GAME_EXE}\")
  set(PROJECT_VERSION \"${PROJECT_VERSION}\")")
install(SCRIPT ${pkg_src}/install_man.cmake)

# --- Debian package --------------------------------------------------------------
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME pachinko)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "${PACHINKO_PACKAGE_CONTACT}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "game about making a living at pachinko")
# The long description's lines; cpack indents them and marks the empty one.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "A single-player game about making a living at pachinko, the Japanese
vertical ball machine. Walk a small town with a bank, an exchange booth and
three parlours, play the machines, exchange your balls and try to reach
300,000,000 yen before you go bankrupt. All text in the game is Japanese.

Also contains pachinko-headless, which plays the game from a script without
a window, pachinko-sim, which reports what the machines pay, and the tools
that generate the game's pictures, sounds and ball courses.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries (Qt, OpenAL, the C++ runtime) from the executables' own
# links; the Japanese font the game draws its text with on top.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-ipafont-gothic")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_SOURCE_GENERATOR TGZ)
set(CPACK_SOURCE_IGNORE_FILES "/\\\\.git/" "/build[^/]*/")
include(CPack)

# --- tests ---------------------------------------------------------------------
# Each part installs into a temporary folder of its own. The sanitizer build
# skips them: its executables are not what anyone installs.
string(REPLACE ";" " " test_tools "${tools}")
if(PACHINKO_SANITIZE)
  set(test_sanitize 1)
else()
  set(test_sanitize 0)
endif()
foreach(part layout launcher deb)
  add_test(NAME install_${part} COMMAND sh ${PROJECT_SOURCE_DIR}/tests/install/install_test.sh ${part})
  set_tests_properties(install_${part} PROPERTIES
    SKIP_RETURN_CODE 77
    TIMEOUT 240
    ENVIRONMENT "BUILD_DIR=${CMAKE_BINARY_DIR};SOURCE_DIR=${PROJECT_SOURCE_DIR};CMAKE=${CMAKE_COMMAND};CPACK=${CMAKE_CPACK_COMMAND};APP_ID=${PACHINKO_APP_ID};SANITIZE=${test_sanitize};TOOLS=${test_tools}")
endforeach()
