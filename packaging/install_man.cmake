# Installs the man pages with the installed paths written in, compressed as
# Debian wants them. Run by "cmake --install" and by cpack; the variables
# PACHINKO_* come from cmake/install.cmake.
set(PACHINKO_CONTENT_PATH "${CMAKE_INSTALL_PREFIX}/${PACHINKO_CONTENT_DIR}")
set(PACHINKO_GAME_PATH "${CMAKE_INSTALL_PREFIX}/${PACHINKO_GAME_EXE}")
# A folder of its own for each destination, so that a package being built
# and an install elsewhere at the same time do not share files.
string(MD5 destination "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}")
set(work "${PACHINKO_MAN_WORK}/${destination}")
file(REMOVE_RECURSE "${work}")
file(MAKE_DIRECTORY "${work}")
foreach(page IN LISTS PACHINKO_MAN_PAGES)
  configure_file("${PACHINKO_MAN_SOURCE}/${page}.1" "${work}/${page}.1" @ONLY)
  # -n: no name or time stamp inside, so that two builds give the same bytes.
  execute_process(COMMAND gzip -9nf "${work}/${page}.1" RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "cannot compress ${work}/${page}.1")
  endif()
  file(INSTALL DESTINATION "${CMAKE_INSTALL_PREFIX}/${PACHINKO_MANDIR}/man1" TYPE FILE FILES "${work}/${page}.1.gz")
endforeach()
file(REMOVE_RECURSE "${work}")
