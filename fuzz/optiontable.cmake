vela_add_fuzz(NAME fuzz_optiontable SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/fuzz_optiontable.cpp)
