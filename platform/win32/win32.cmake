# The real window on Win32 (with the session recorder the Qt window uses too)
# and the sound device on DirectSound.
pachinko_platform_part(pachinko_platform_win32 win32 pachinko_platform_core)
target_sources(pachinko_platform_win32 PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/qt/recorder.cpp)
target_include_directories(pachinko_platform_win32 PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/qt)
target_link_libraries(pachinko_platform_win32 PUBLIC user32 gdi32 advapi32)
pachinko_platform_part(pachinko_sound_dsound dsound pachinko_sound_common)
target_link_libraries(pachinko_sound_dsound PUBLIC dsound dxguid)
