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

# natalo_add_gtest(NAME SOURCES... LIBS ...): one GoogleTest executable, registered with CTest.
# Every test runs with a pinned locale and zone unless it sets its own.
function(natalo_add_gtest name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS;ENV" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main GTest::gmock Threads::Threads)
  gtest_discover_tests(${name}
    DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "LANG=en_US.UTF-8;TZ=Europe/Berlin;QT_QPA_PLATFORM=offscreen;${T_ENV}"
               TIMEOUT 300)
endfunction()

# natalo_add_qtest(NAME SOURCES... LIBS ...): one Qt Test executable, run offscreen.
function(natalo_add_qtest name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS;ENV" ${ARGN})
  find_package(Qt6 REQUIRED COMPONENTS Test Widgets)
  add_executable(${name} ${T_SOURCES})
  set_target_properties(${name} PROPERTIES AUTOMOC ON)
  target_link_libraries(${name} PRIVATE ${T_LIBS} Qt6::Test Qt6::Widgets Threads::Threads)
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES
    ENVIRONMENT "LANG=en_US.UTF-8;TZ=Europe/Berlin;QT_QPA_PLATFORM=offscreen;${T_ENV}" TIMEOUT 300)
endfunction()
