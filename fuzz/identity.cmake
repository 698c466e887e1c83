vela_add_fuzz(NAME fuzz_deviceversion SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/fuzz_deviceversion.cpp LIBS vela_camera)
