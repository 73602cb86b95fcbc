# Run by cpack before it builds the package (CPACK_PROJECT_CONFIG_FILE): the
# package's library dependencies, computed by dpkg-shlibdeps from the built
# programs and the engine. CPack's own computation (CPACK_DEBIAN_PACKAGE_SHLIBDEPS)
# would take the engine in /usr/lib/Natalo for a public library and add
# maintainer scripts that run ldconfig; the package has no maintainer scripts.
if(NOT CPACK_GENERATOR STREQUAL "DEB")
  return()
endif()

file(GLOB natalo_candidates LIST_DIRECTORIES false "${CPACK_NATALO_PROGRAM_DIR}/*")
set(natalo_elf_files)
foreach(candidate IN LISTS natalo_candidates)
  file(READ "${candidate}" natalo_magic LIMIT 4 HEX)
  if(natalo_magic STREQUAL "7f454c46")
    list(APPEND natalo_elf_files "${candidate}")
  endif()
endforeach()
if(NOT natalo_elf_files)
  message(FATAL_ERROR "PackageDepends: no programs in ${CPACK_NATALO_PROGRAM_DIR}: build first")
endif()

# dpkg-shlibdeps wants a debian/control beside it, as in a source package.
set(natalo_shlibs_dir "${CPACK_PACKAGE_DIRECTORY}/_CPack_Packages/shlibdeps")
file(MAKE_DIRECTORY "${natalo_shlibs_dir}/debian")
file(WRITE "${natalo_shlibs_dir}/debian/control" "")
execute_process(COMMAND dpkg-shlibdeps -O ${natalo_elf_files}
  WORKING_DIRECTORY "${natalo_shlibs_dir}"
  OUTPUT_VARIABLE natalo_shlibs RESULT_VARIABLE natalo_shlibs_result ERROR_VARIABLE natalo_shlibs_errors)
if(NOT natalo_shlibs_result EQUAL 0 OR NOT natalo_shlibs MATCHES "shlibs:Depends=([^\n]+)")
  message(FATAL_ERROR "dpkg-shlibdeps failed: ${natalo_shlibs_errors}")
endif()
set(CPACK_DEBIAN_PACKAGE_DEPENDS "${CPACK_DEBIAN_PACKAGE_DEPENDS}, ${CMAKE_MATCH_1}")
