# Debian's hardening flags (dpkg-buildflags) for every build that is neither
# sanitized nor fuzzed: position-independent executables, the strong stack
# protector, fortified libc calls where the optimiser runs, read-only
# relocations and binding at load time. The package is made from the normal
# build, so the binaries the tests ran are the ones that ship.
if(NATALO_SANITIZE OR NATALO_FUZZ)
  return()
endif()

include(CheckPIESupported)
check_pie_supported(LANGUAGES C CXX)

add_compile_options(-fstack-protector-strong -Wformat -Werror=format-security)
# Fortify needs optimisation; a Debug build would only warn that it is off.
set(natalo_optimised "$<CONFIG:Release,RelWithDebInfo,MinSizeRel>")
add_compile_options("$<${natalo_optimised}:-U_FORTIFY_SOURCE>" "$<${natalo_optimised}:-D_FORTIFY_SOURCE=2>")
add_link_options(LINKER:-z,relro LINKER:-z,now)
