# Linux: Qt 6 and OpenAL Soft.

# Pictures, text and screenshots by Qt GUI (also under the headless backend,
# on Qt's "offscreen" platform).
pachinko_platform_part(pachinko_platform_services qt_services pachinko_platform_services_api)
target_link_libraries(pachinko_platform_services PRIVATE Qt6::Gui)
# The real window: Qt Widgets.
pachinko_platform_part(pachinko_platform_qt qt pachinko_platform_core Qt6::Widgets)
# The real sound device: OpenAL Soft.
pachinko_platform_part(pachinko_sound_openal openal pachinko_sound_common PkgConfig::OPENAL)
