# Warnings and strictness shared by every target of the project.
add_library(vela_common INTERFACE)
target_compile_options(vela_common INTERFACE
  -Wall -Wextra -Wpedantic -Wold-style-cast -Wnon-virtual-dtor -Woverloaded-virtual)
if(VELA_WERROR)
  target_compile_options(vela_common INTERFACE -Werror)
endif()
target_compile_definitions(vela_common INTERFACE
  QT_NO_CAST_FROM_ASCII QT_NO_CAST_TO_ASCII QT_NO_CONTEXTLESS_CONNECT)

if(VELA_SANITIZE)
  add_compile_options(-fsanitize=${VELA_SANITIZE} -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=${VELA_SANITIZE})
endif()

find_package(Threads REQUIRED)
