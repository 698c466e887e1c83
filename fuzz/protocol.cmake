vela_add_fuzz(NAME fuzz_parseline SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/fuzz_parseline.cpp)
# Its boxes go to the tests' recorder.
vela_add_fuzz(NAME fuzz_receiveline SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/fuzz_receiveline.cpp
  ${PROJECT_SOURCE_DIR}/tests/support/recordingprompt.cpp)
