vela_add_fuzz(NAME fuzz_regstore SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/fuzz_regstore.cpp)
