vela_add_bench(NAME bench_idle_receive SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/idle_receive.cpp)
target_include_directories(bench_idle_receive PRIVATE ${PROJECT_SOURCE_DIR}/tests)
target_sources(bench_idle_receive PRIVATE ${PROJECT_SOURCE_DIR}/tests/support/pty.cpp)
