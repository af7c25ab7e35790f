# cmake -DFROM=<Linux game folder> -DTO=<game folder> -P copy_content.cmake
# Copies the generated content (pictures, sounds, courses, help, icons) of a
# Linux build; its programs and any player's save stay behind.
if(NOT EXISTS ${FROM}/tama.dat)
  message(FATAL_ERROR "${FROM} holds no generated content: build the Linux game first (cmake --build build)")
endif()
file(GLOB content ${FROM}/*.bmp ${FROM}/*.wav ${FROM}/*.hlp ${FROM}/*.ico ${FROM}/*.png ${FROM}/tama.dat)
file(COPY ${content} DESTINATION ${TO})
