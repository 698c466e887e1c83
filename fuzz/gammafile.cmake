vela_add_fuzz(NAME fuzz_gammafile SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/fuzz_gammafile.cpp LIBS vela_camera)
