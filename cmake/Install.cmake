# Installation of the application: the program into the program folder
# <prefix>/lib/Natalo (beside the engine, texts and pictures that their own
# folders install there), a launcher <prefix>/bin/natalo, and the desktop entry.
# A per-user install uses the prefix ~/.local.
if(NOT TARGET Natalo)
  return()
endif()

install(TARGETS Natalo RUNTIME DESTINATION lib/Natalo)

# The launcher is a relative link: the program finds its folder through the
# link's target, so it still finds its files.
install(CODE "
  set(bin \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/bin\")
  file(MAKE_DIRECTORY \"\${bin}\")
  file(REMOVE \"\${bin}/natalo\")
  file(CREATE_LINK ../lib/Natalo/Natalo \"\${bin}/natalo\" SYMBOLIC)
  message(STATUS \"Installing: \${bin}/natalo\")
")

# The desktop entry names the installed launcher, so it is written when the
# prefix is known.
set(natalo_desktop_file ${CMAKE_BINARY_DIR}/install/natalo.desktop)
install(CODE "
  set(NATALO_LAUNCHER \"\${CMAKE_INSTALL_PREFIX}/bin/natalo\")
  configure_file(\"${PROJECT_SOURCE_DIR}/data/desktop/natalo.desktop.in\" \"${natalo_desktop_file}\" @ONLY)
")
install(FILES ${natalo_desktop_file} DESTINATION share/applications)
