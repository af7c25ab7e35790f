# Puts the freshly generated "tama.dat" into the game folder, unless the one
# there was changed since it was last put there (edited in tuning mode): that
# one is kept, and the build says so. "pachiko.dat" is never touched.
#   GENERATED  the file just generated
#   GAME_DIR   the game folder
#   STAMP      a copy of the file last put into the game folder
set(target "${GAME_DIR}/tama.dat")
file(MAKE_DIRECTORY "${GAME_DIR}")
set(replace FALSE)
if(NOT EXISTS "${target}")
  set(replace TRUE)
else()
  file(SHA256 "${target}" target_hash)
  file(SHA256 "${GENERATED}" generated_hash)
  if(target_hash STREQUAL generated_hash)
    file(COPY_FILE "${GENERATED}" "${STAMP}")
  elseif(EXISTS "${STAMP}")
    file(SHA256 "${STAMP}" stamp_hash)
    if(target_hash STREQUAL stamp_hash)
      set(replace TRUE)
    endif()
  endif()
  if(NOT replace AND NOT target_hash STREQUAL generated_hash)
    message(STATUS "Kept ${target}: it differs from the courses last generated "
                   "(edited in tuning mode?). The newly generated courses are in ${GENERATED}; "
                   "delete the kept file to use them.")
  endif()
endif()
if(replace)
  file(COPY_FILE "${GENERATED}" "${target}")
  file(COPY_FILE "${GENERATED}" "${STAMP}")
  message(STATUS "Installed ${target}")
endif()
