vela_add_bench(NAME bench_command SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/command.cpp LIBS vela_camsim_pty)
