# Every Windows program carries the game's icon (resource 101) and version
# information; pachinko.exe also its manifest (per-monitor DPI awareness,
# the common controls of the system's look).
#   pachinko_windows_resources(TARGET "Description" [MANIFEST])
enable_language(RC)

function(pachinko_windows_resources target description)
  cmake_parse_arguments(arg "MANIFEST" "" "" ${ARGN})
  # Everything from here, since some calls run deferred, in another scope.
  string(REPLACE "." ";" parts "${PROJECT_VERSION}.0.0")
  list(GET parts 0 major)
  list(GET parts 1 minor)
  math(EXPR minor "${minor}")  # "03" is 3
  set(PACHINKO_VERSION_COMMAS "${major},${minor},0,0")
  set(PACHINKO_VERSION_QUAD "${major}.${minor}.0.0")
  # The icon the content generator draws, from the Linux build's game folder.
  set(PACHINKO_ICON ${PACHINKO_CONTENT_FROM}/pachinko.ico)
  set(PACHINKO_PROGRAM ${target})
  set(PACHINKO_DESCRIPTION "${description}")
  set(PACHINKO_MANIFEST_LINE "")
  if(arg_MANIFEST)
    set(manifest ${CMAKE_CURRENT_BINARY_DIR}/${target}.manifest)
    configure_file(${PROJECT_SOURCE_DIR}/app/windows/pachinko.manifest ${manifest} @ONLY)
    set(PACHINKO_MANIFEST_LINE "1 24 \"${manifest}\"")
  endif()
  set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}.rc)
  configure_file(${PROJECT_SOURCE_DIR}/app/windows/program.rc.in ${rc} @ONLY)
  target_sources(${target} PRIVATE ${rc})
  set_source_files_properties(${rc} PROPERTIES OBJECT_DEPENDS "${PACHINKO_ICON}")
endfunction()

# The game in its window: Win32 and DirectSound; a windowed program, whose
# --help finds the console it was started from.
add_executable(pachinko WIN32 pachinko/main_windows.cpp pachinko/options.cpp)
pachinko_link_game(pachinko PRIVATE pachinko_platform_win32 pachinko_sound_dsound)
target_compile_definitions(pachinko PRIVATE PACHINKO_VERSION="${PROJECT_VERSION}")
target_link_libraries(pachinko PRIVATE shell32 ole32)
# The folder it plays in (platform/win32/player_folder.cpp).
target_include_directories(pachinko PRIVATE ${PROJECT_SOURCE_DIR}/platform/win32)
pachinko_windows_resources(pachinko "PACHINKO ろもぺ" MANIFEST)
# The other programs are made in other folders, some after this one.
cmake_language(DEFER DIRECTORY ${PROJECT_SOURCE_DIR} CALL pachinko_windows_resources pachinko-headless
               "PACHINKO pachinko-headless")
cmake_language(DEFER DIRECTORY ${PROJECT_SOURCE_DIR} CALL pachinko_windows_resources pachinko-sim
               "PACHINKO pachinko-sim")
