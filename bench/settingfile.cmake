vela_add_bench(NAME bench_settingfile SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/settingfile.cpp LIBS vela_camera vela_camsim_pty)
