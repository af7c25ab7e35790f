# Linux: Qt 6 and OpenAL Soft.

# Shared by both backends: pixel surfaces, bitmaps, text drawing, files, event log.
pachinko_platform_part(pachinko_platform_core core Qt6::Gui)
# No window: ticks, input, message boxes and dialogs come from the caller or a script.
pachinko_platform_part(pachinko_platform_headless headless pachinko_platform_core)
# The real window: Qt Widgets.
pachinko_platform_part(pachinko_platform_qt qt pachinko_platform_core Qt6::Widgets)
# What both sound devices share: their records, argument rules and test hooks.
pachinko_platform_part(pachinko_sound_common sound_common pachinko_platform_core)
target_include_directories(pachinko_sound_common PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}/sound_common)
# The real sound device: OpenAL Soft.
pachinko_platform_part(pachinko_sound_openal openal pachinko_sound_common PkgConfig::OPENAL)
# A sound device that plays nothing and logs every start and stop; used with
# the headless backend. Its faults can be injected.
pachinko_platform_part(pachinko_sound_log sound_log pachinko_sound_common)
