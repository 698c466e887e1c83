if(VELA_BUILD_GUI)
  vela_add_bench(NAME bench_terminal SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/terminal.cpp LIBS vela_gui)
endif()
