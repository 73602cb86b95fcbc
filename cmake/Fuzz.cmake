# libFuzzer targets (-DNATALO_FUZZ=ON, clang only). Every library of such a build
# is instrumented for coverage and compiled with both sanitizers, so a fuzz
# target links the libraries it reads through like any other program and the
# fuzzer sees into all of them. Undefined behaviour stops a run at once.
if(NOT NATALO_FUZZ)
  return()
endif()
if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  message(FATAL_ERROR "NATALO_FUZZ needs clang: configure with CC=clang CXX=clang++")
endif()

add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined
                    -fno-omit-frame-pointer)
add_link_options(-fsanitize=address,undefined)

# Builds every fuzz target and nothing they do not need.
add_custom_target(fuzz_targets)

# One line per target (name, program, seed folder) for scripts/fuzz and scripts/test.
set(NATALO_FUZZ_DIR ${CMAKE_BINARY_DIR}/fuzz)
set(NATALO_FUZZ_LIST ${NATALO_FUZZ_DIR}/targets.txt)
file(WRITE ${NATALO_FUZZ_LIST} "")

# natalo_add_fuzz(NAME SOURCE LIBS ...): a fuzz target whose seeds are the files
# in the seeds/ folder next to its source.
function(natalo_add_fuzz name source)
  cmake_parse_arguments(F "" "" "LIBS" ${ARGN})
  add_executable(${name} ${source})
  target_link_libraries(${name} PRIVATE ${F_LIBS})
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${NATALO_FUZZ_DIR})
  add_dependencies(fuzz_targets ${name})
  file(APPEND ${NATALO_FUZZ_LIST} "${name}\t${NATALO_FUZZ_DIR}/${name}\t${CMAKE_CURRENT_SOURCE_DIR}/seeds\n")
endfunction()
