vela_add_bench(NAME bench_lut SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/lut.cpp LIBS vela_camera vela_camsim_pty)
if(VELA_BUILD_GUI)
  vela_add_bench(NAME bench_lut_repaint SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/lut_repaint.cpp LIBS vela_gui)
endif()
