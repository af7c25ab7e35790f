# Windows: Win32 and DirectSound, cross-compiled with MinGW-w64.

# Pictures by LoadImageW, text by GDI, screenshots by stb_image_write.
pachinko_platform_part(pachinko_platform_services win_services pachinko_platform_services_api)
target_include_directories(pachinko_platform_services SYSTEM PRIVATE /usr/include/stb)
target_link_libraries(pachinko_platform_services PUBLIC gdi32)
# The real window and the sound device.
include(${CMAKE_CURRENT_SOURCE_DIR}/win32/win32.cmake)
