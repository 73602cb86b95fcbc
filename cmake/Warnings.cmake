# Compiler flags shared by every target of the project.
add_compile_options(-Wall -Wextra -Wpedantic
                    $<$<COMPILE_LANGUAGE:CXX>:-Wold-style-cast>
                    $<$<COMPILE_LANGUAGE:CXX>:-Wnon-virtual-dtor>
                    $<$<COMPILE_LANGUAGE:CXX>:-Woverloaded-virtual>)
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  add_compile_options(-Wshadow=local)
else()
  add_compile_options(-Wshadow-uncaptured-local)
endif()
if(NATALO_WERROR)
  add_compile_options(-Werror)
endif()
if(NATALO_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()
if(NATALO_LOG)
  add_compile_definitions(NATALO_LOG=1)
endif()
# Shared libraries must resolve every symbol at link time.
add_link_options(LINKER:--no-undefined)
