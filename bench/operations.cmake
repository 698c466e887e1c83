if(VELA_BUILD_GUI)
  vela_add_bench(NAME bench_operations SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/operations.cpp
    ${PROJECT_SOURCE_DIR}/tests/support/tempconfig.cpp LIBS vela_gui vela_camsim_pty)
  # It starts the tool itself.
  add_dependencies(bench_operations vela-control)
endif()
