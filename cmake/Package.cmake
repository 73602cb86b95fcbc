# The Debian package: scripts/package runs cpack in the normal build folder,
# which gives natalo_<version>-<release>_amd64.deb. It holds exactly what
# `cmake --install` puts under /usr; tests, benchmarks and fuzz targets have no
# install rules, so none of them ships.
#
# The programs go to /usr/lib/Natalo, not the lower-case folder Debian would
# choose: the engine finds the reminder utility and its registry key by the
# program folder's name, which must stay "Natalo".

# The first entry of the changelog is this release; its version must be the
# project's, with the package release after the dash.
set(NATALO_PACKAGE_RELEASE 1)
set(NATALO_RELEASE_DATE 2026-12-08)
set(natalo_changelog ${PROJECT_SOURCE_DIR}/data/package/changelog.Debian)
file(STRINGS ${natalo_changelog} natalo_changelog_top LIMIT_COUNT 1)
if(NOT natalo_changelog_top MATCHES "^natalo \\(${PROJECT_VERSION}-${NATALO_PACKAGE_RELEASE}\\) ")
  message(FATAL_ERROR "data/package/changelog.Debian starts with '${natalo_changelog_top}', "
                      "not with version ${PROJECT_VERSION}-${NATALO_PACKAGE_RELEASE}")
endif()

# Files that go into the package compressed, as Debian wants them: gzip -9 and
# no name or time stamp, so a rebuild gives the same bytes.
set(natalo_package_dir ${CMAKE_BINARY_DIR}/install)
configure_file(${PROJECT_SOURCE_DIR}/data/man/natalo.1 ${natalo_package_dir}/natalo.1 @ONLY)
configure_file(${PROJECT_SOURCE_DIR}/data/desktop/natalo.metainfo.xml.in ${natalo_package_dir}/natalo.metainfo.xml @ONLY)
set(natalo_gzipped)
foreach(source ${natalo_package_dir}/natalo.1 ${natalo_changelog})
  get_filename_component(name ${source} NAME)
  set(target ${natalo_package_dir}/${name}.gz)
  add_custom_command(OUTPUT ${target}
    COMMAND sh -c "gzip -9n -c \"$1\" > \"$2\"" gzip ${source} ${target}
    DEPENDS ${source} VERBATIM)
  list(APPEND natalo_gzipped ${target})
endforeach()
add_custom_target(natalo_package_files ALL DEPENDS ${natalo_gzipped})

install(FILES ${natalo_package_dir}/natalo.1.gz DESTINATION share/man/man1)
install(FILES ${natalo_package_dir}/natalo.metainfo.xml DESTINATION share/metainfo)
install(FILES ${PROJECT_SOURCE_DIR}/data/package/copyright ${natalo_package_dir}/changelog.Debian.gz
        DESTINATION share/doc/natalo)
install(FILES ${PROJECT_SOURCE_DIR}/data/package/lintian-overrides
        DESTINATION share/lintian/overrides RENAME natalo)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME natalo)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Natalo developers <natalo@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "birthdays, anniversaries and other dates with yearly reminders")
set(CPACK_PACKAGE_DESCRIPTION
    "Natalo keeps birthdays, anniversaries and other dates, shows ages, days left\n"
    "and zodiac signs in a keypad-driven list, and reminds with sound, snooze and\n"
    "dismiss at a chosen time, every year, also when the application is closed.\n"
    "The natalo command lists, adds and exports the dates from a terminal.")
string(JOIN "" CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
set(CPACK_DEBIAN_PACKAGE_RELEASE ${NATALO_PACKAGE_RELEASE})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries the binaries link come from dpkg-shlibdeps (cmake/PackageDepends.cmake,
# which cpack runs); these are loaded at run time: Qt's window system plugins
# (X11 is in libqt6gui6), GStreamer's player and its elements.
set(CPACK_NATALO_PROGRAM_DIR ${NATALO_PROGRAM_DIR})
set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_SOURCE_DIR}/cmake/PackageDepends.cmake)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "gstreamer1.0-plugins-base")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS
    "gstreamer1.0-plugins-good, gstreamer1.0-pulseaudio | gstreamer1.0-alsa, qt6-wayland, xdg-utils, fonts-dejavu-extra, sound-theme-freedesktop")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "gstreamer1.0-libav")
# The files are laid out with DESTDIR under the real prefix, so paths written
# at install time (the desktop entry's launcher) name /usr, and the install
# step that arms an existing storage's reminders stays out of the package.
set(CPACK_SET_DESTDIR ON)
set(CPACK_INSTALL_PREFIX /usr)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
# Files under /etc are marked as configuration files (cmake/PackageConffiles.cmake).
set(CPACK_NATALO_CONFFILES ${natalo_package_dir}/conffiles)
set(CPACK_PRE_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/PackageConffiles.cmake)
set(CPACK_STRIP_FILES ON)
include(CPack)
