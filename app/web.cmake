# The browser: pachinko.js, pachinko.wasm and pachinko.data (the content,
# packed into the page's file system at /game). scripts/web.sh gathers the
# content into PACHINKO_WEB_CONTENT and writes the page around them.
set(PACHINKO_WEB_CONTENT ${CMAKE_BINARY_DIR}/content CACHE PATH
    "Folder of the content the page packs: pictures, web-sized sounds, courses, help")
add_executable(pachinko web/main.cpp)
pachinko_link_game(pachinko PRIVATE pachinko_platform_web pachinko_sound_openal)
# Asyncify lets the game's message loop and its message boxes wait for the
# page's events as they wait for the window system's on the desktop; the one
# waiting call is the only import that unwinds.
target_link_options(pachinko PRIVATE
  -sASYNCIFY -sASYNCIFY_STACK_SIZE=65536
  -sALLOW_MEMORY_GROWTH -sINITIAL_MEMORY=33554432
  -sENVIRONMENT=web -sFORCE_FILESYSTEM -lidbfs.js
  "SHELL:--preload-file ${PACHINKO_WEB_CONTENT}@/game")
set_target_properties(pachinko PROPERTIES SUFFIX ".js")

# The browser's tick benchmark, built on request (bench/web).
if(EXISTS ${PROJECT_SOURCE_DIR}/bench/web/CMakeLists.txt)
  add_subdirectory(${PROJECT_SOURCE_DIR}/bench/web ${CMAKE_BINARY_DIR}/bench-web)
endif()
