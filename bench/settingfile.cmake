vela_add_bench(NAME bench_settingfile SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/settingfile.cpp
  ${PROJECT_SOURCE_DIR}/tests/support/tempconfig.cpp LIBS vela_camera vela_camsim_pty)
target_include_directories(bench_settingfile PRIVATE ${PROJECT_SOURCE_DIR}/tests)
