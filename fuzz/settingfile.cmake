vela_add_fuzz(NAME fuzz_settingfile SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/fuzz_settingfile.cpp LIBS vela_camera)
