# The game: Qt window, OpenAL sound.
add_executable(pachinko pachinko/main.cpp pachinko/options.cpp)
pachinko_link_game(pachinko PRIVATE pachinko_platform_qt pachinko_sound_openal)
target_compile_definitions(pachinko PRIVATE PACHINKO_VERSION="${PROJECT_VERSION}")
