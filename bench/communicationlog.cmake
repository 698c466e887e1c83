if(VELA_BUILD_GUI)
  vela_add_bench(NAME bench_communicationlog
    SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/communicationlog.cpp ${PROJECT_SOURCE_DIR}/tests/support/tempconfig.cpp
    LIBS vela_gui)
  target_include_directories(bench_communicationlog PRIVATE ${PROJECT_SOURCE_DIR}/tests)
endif()
