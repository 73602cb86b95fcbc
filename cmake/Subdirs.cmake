# Adds every immediate sub-folder of DIR that has a CMakeLists.txt, in name order,
# so that modules can be added without editing a central list.
function(natalo_add_subdirs dir)
  set(base ${CMAKE_CURRENT_SOURCE_DIR}/${dir})
  if(EXISTS ${base}/CMakeLists.txt)
    add_subdirectory(${dir})
    return()
  endif()
  file(GLOB children LIST_DIRECTORIES true RELATIVE ${base} CONFIGURE_DEPENDS ${base}/*)
  list(SORT children)
  foreach(child ${children})
    if(EXISTS ${base}/${child}/CMakeLists.txt)
      add_subdirectory(${dir}/${child})
    endif()
  endforeach()
endfunction()

# Tests that make no private folder of their own still never write into the
# user's real data folder.
set(NATALO_TEST_DATA_DIR ${CMAKE_BINARY_DIR}/test-data/)

# natalo_add_gtest(NAME SOURCES... LIBS ... ENV ...): one GoogleTest executable whose
# tests are registered one by one with CTest. Every test runs with a pinned locale
# and zone (and the given ENV entries). gtest_discover_tests flattens a list given
# as ENVIRONMENT, so the environment is applied by an include file that runs after
# the discovered tests are known.
function(natalo_add_gtest name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS;ENV" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main GTest::gmock Threads::Threads)
  gtest_discover_tests(${name}
    DISCOVERY_TIMEOUT 60
    TEST_LIST ${name}_TESTS
    PROPERTIES TIMEOUT 300)
  set(env "LANG=en_US.UTF-8" "TZ=Europe/Berlin" "QT_QPA_PLATFORM=offscreen" "NATALO_DATA_DIR=${NATALO_TEST_DATA_DIR}"
      ${T_ENV})
  string(JOIN ";" env_text ${env})
  set(env_file ${CMAKE_CURRENT_BINARY_DIR}/${name}_environment.cmake)
  file(WRITE ${env_file}
       "if(${name}_TESTS)\n  set_tests_properties(\${${name}_TESTS} PROPERTIES ENVIRONMENT \"${env_text}\")\nendif()\n")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${env_file})
endfunction()

# natalo_add_qtest(NAME SOURCES... LIBS ...): one Qt Test executable, run offscreen.
function(natalo_add_qtest name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS;ENV" ${ARGN})
  find_package(Qt6 REQUIRED COMPONENTS Test Widgets DBus)
  add_executable(${name} ${T_SOURCES})
  set_target_properties(${name} PROPERTIES AUTOMOC ON)
  target_link_libraries(${name} PRIVATE ${T_LIBS} Qt6::Test Qt6::Widgets Threads::Threads)
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES
    ENVIRONMENT "LANG=en_US.UTF-8;TZ=Europe/Berlin;QT_QPA_PLATFORM=offscreen;NATALO_DATA_DIR=${NATALO_TEST_DATA_DIR};${T_ENV}"
    TIMEOUT 300)
endfunction()
