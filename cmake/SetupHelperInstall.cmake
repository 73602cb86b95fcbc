# After every file is in place, the installer runs the setup helper with
# "/A=install": it starts the reminder utility once, which arms the reminders
# of an existing storage.dat at once. A staged install (DESTDIR) runs nothing,
# since its program folder is not where the programs will live.
if(NOT TARGET NataloCustomTool)
  return()
endif()
install(CODE "
  if(\"\$ENV{DESTDIR}\" STREQUAL \"\")
    set(tool \"\${CMAKE_INSTALL_PREFIX}/lib/Natalo/NataloCustomTool\")
    execute_process(COMMAND \"\${tool}\" /A=install RESULT_VARIABLE setup_result)
    message(STATUS \"Setup helper: \${tool} /A=install gave \${setup_result}\")
  endif()
")
