# Installation of the application: the program into the program folder
# <prefix>/lib/Natalo (beside the engine, texts and pictures that their own
# folders install there), a launcher <prefix>/bin/natalo and the desktop entry;
# cmake/Package.cmake adds the manual page and the package's documents.
# A per-user install uses the prefix ~/.local. The folder keeps its capital
# letter also under /usr: the engine finds the reminder utility by its name.
if(NOT TARGET Natalo)
  return()
endif()

install(TARGETS Natalo RUNTIME DESTINATION lib/Natalo)

install(TARGETS NataloCli RUNTIME DESTINATION lib/Natalo OPTIONAL)

# The launcher is a script that finds the program folder beside its own
# folder: without a command it starts the application, with one the command line.
install(CODE "file(REMOVE \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/bin/natalo\")")
install(PROGRAMS ${PROJECT_SOURCE_DIR}/NataloCli/natalo.sh DESTINATION bin RENAME natalo)

# Completion of the natalo command for bash, zsh and fish, where each shell
# looks for the completions that packages bring.
install(FILES ${PROJECT_SOURCE_DIR}/data/completion/natalo.bash DESTINATION share/bash-completion/completions
        RENAME natalo)
install(FILES ${PROJECT_SOURCE_DIR}/data/completion/_natalo DESTINATION share/zsh/vendor-completions)
install(FILES ${PROJECT_SOURCE_DIR}/data/completion/natalo.fish DESTINATION share/fish/vendor_completions.d)

# The desktop entry names the installed launcher, so it is written when the
# prefix is known.
set(natalo_desktop_file ${CMAKE_BINARY_DIR}/install/natalo.desktop)
install(CODE "
  set(NATALO_LAUNCHER \"\${CMAKE_INSTALL_PREFIX}/bin/natalo\")
  configure_file(\"${PROJECT_SOURCE_DIR}/data/desktop/natalo.desktop.in\" \"${natalo_desktop_file}\" @ONLY)
")
install(FILES ${natalo_desktop_file} DESTINATION share/applications)
