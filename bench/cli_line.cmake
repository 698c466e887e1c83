# vela-cli applying a setting file to four cameras at once against one.
vela_add_bench(NAME bench_cli_line SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/cli_line.cpp
  ${PROJECT_SOURCE_DIR}/tests/support/runprogram.cpp ${PROJECT_SOURCE_DIR}/tests/support/pty.cpp
  ${PROJECT_SOURCE_DIR}/tests/support/tempconfig.cpp
  LIBS vela_camsim_pty)
add_dependencies(bench_cli_line vela-cli)
