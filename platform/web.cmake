# The browser (emscripten): the page's canvas, HTML menu and dialogs, Web Audio
# through emscripten's OpenAL.

# Pictures by stb_image (Debian's libstb-dev), text by the page's canvas,
# screenshots by stb_image_write.
pachinko_platform_part(pachinko_platform_services web_services pachinko_platform_services_api)
target_include_directories(pachinko_platform_services SYSTEM PRIVATE /usr/include/stb)
# The page: canvas, menu bar, dialogs, help, the tick from the browser's timer.
pachinko_platform_part(pachinko_platform_web web pachinko_platform_core)
# The script the page's own code lives in: the backend's calls go there.
target_link_options(pachinko_platform_web INTERFACE "SHELL:--pre-js ${CMAKE_CURRENT_SOURCE_DIR}/web/page.js")
# The same OpenAL device code as on Linux; emscripten's OpenAL plays through
# Web Audio.
pachinko_platform_part(pachinko_sound_openal openal pachinko_sound_common)
target_link_options(pachinko_sound_openal INTERFACE -lopenal)
