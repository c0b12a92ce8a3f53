# letterbox_add_test(NAME name SOURCES a.cpp ... LIBS lib ... [TIMEOUT seconds])
# A GoogleTest executable whose cases ctest discovers. Its main (tests/support/TestMain.cpp)
# makes every case run headless: SDL offscreen video, dummy audio, message boxes to stderr.
function(letterbox_add_test)
  cmake_parse_arguments(T "" "NAME;TIMEOUT" "SOURCES;LIBS" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} letterbox_test_main)
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 120)
  endif()
  include(GoogleTest)
  gtest_discover_tests(${T_NAME}
    DISCOVERY_MODE PRE_TEST
    WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
    PROPERTIES TIMEOUT ${T_TIMEOUT})
endfunction()
