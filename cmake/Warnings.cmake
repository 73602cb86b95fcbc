# Compiler flags shared by every target of the project.
add_compile_options(-Wall -Wextra -Wpedantic -Wold-style-cast -Wnon-virtual-dtor
                    -Woverloaded-virtual -Wshadow=local)
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
