# Windows. pachinko-headless.exe (above) is a console program like on Linux:
# its scripts, dumps and screenshots are those of the Linux build.

# The content generators draw with Qt and run on Linux: the game folder gets
# the pictures, sounds, courses and help of a Linux build.
set(PACHINKO_CONTENT_FROM ${PROJECT_SOURCE_DIR}/build/game CACHE PATH
    "Game folder of a Linux build, whose generated content the Windows game folder gets")
add_custom_target(pachinko_content ALL
  COMMAND ${CMAKE_COMMAND} -DFROM=${PACHINKO_CONTENT_FROM} -DTO=${PACHINKO_GAME_DIR}
          -P ${PROJECT_SOURCE_DIR}/cmake/copy_content.cmake
  COMMENT "Copying the generated content from ${PACHINKO_CONTENT_FROM}"
  VERBATIM)

# pachinko.exe, and the icon, version and manifest resources of every program.
include(${CMAKE_CURRENT_SOURCE_DIR}/windows/programs.cmake)
