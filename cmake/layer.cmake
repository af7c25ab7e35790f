# pachinko_layer(NAME): a static library of every .cpp in the current folder.
# Game layers see the platform only through its headers (pachinko_platform_api)
# and link no Qt or OpenAL library, so a stray Qt include fails to build.
# The executable picks the platform backend at link time.
function(pachinko_layer name)
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  add_library(${name} STATIC ${sources})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC pachinko_platform_api)
endfunction()

# pachinko_link_game(TARGET SCOPE BACKEND...): links the game's layers and the
# chosen platform parts as one group. The layers call each other both ways
# (the town seats the player at a machine, the parlour hands him back) and
# call the platform, so the linker must see them together.
function(pachinko_link_game target scope)
  set(items pachinko_shell pachinko_town pachinko_machine pachinko_media pachinko_save pachinko_resources pachinko_state ${ARGN})
  list(JOIN items "," joined)
  target_link_libraries(${target} ${scope} "$<LINK_GROUP:RESCAN,${joined}>")
endfunction()
