vela_add_fuzz(NAME fuzz_camsim SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/fuzz_camsim.cpp LIBS vela_camsim_core)
