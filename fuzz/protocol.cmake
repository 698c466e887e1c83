vela_add_fuzz(NAME fuzz_parseline SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/fuzz_parseline.cpp)
vela_add_fuzz(NAME fuzz_receiveline SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/fuzz_receiveline.cpp)
