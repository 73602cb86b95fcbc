# Run by cpack once the files are laid out (CPACK_PRE_BUILD_SCRIPTS): every file
# the package puts under /etc is a configuration file, which dpkg keeps when the
# administrator changed it.
file(GLOB_RECURSE natalo_etc_files LIST_DIRECTORIES false RELATIVE "${CPACK_TEMPORARY_INSTALL_DIRECTORY}"
     "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/etc/*")
if(natalo_etc_files)
  list(TRANSFORM natalo_etc_files PREPEND "/")
  list(TRANSFORM natalo_etc_files APPEND "\n")
  list(JOIN natalo_etc_files "" natalo_etc_lines)
  file(WRITE "${CPACK_NATALO_CONFFILES}" "${natalo_etc_lines}")
  list(APPEND CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA "${CPACK_NATALO_CONFFILES}")
endif()
