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

# letterbox_uses_data(target): the program reads the generated data files: it is told the
# build folder (LETTERBOX_BUILD_DIR) and built after the data, where the data is part of
# the build.
function(letterbox_uses_data target)
  target_compile_definitions(${target} PRIVATE LETTERBOX_BUILD_DIR="${CMAKE_BINARY_DIR}")
  if(TARGET content_data)
    add_dependencies(${target} content_data)
  endif()
endfunction()

# letterbox_fuzz_coverage(target): with LETTERBOX_FUZZ on, a library a fuzz target reads
# files through carries libFuzzer's coverage instrumentation, so the fuzzer is steered by
# the code under test and not only by the fuzz program.
function(letterbox_fuzz_coverage target)
  if(LETTERBOX_FUZZ)
    target_compile_options(${target} PRIVATE -fsanitize=fuzzer-no-link)
  endif()
endfunction()

# The program's own headers are included by their path from the repository root
# ("gfx/Sprite.h"); its libraries link this to find them.
add_library(letterbox_root INTERFACE)
target_include_directories(letterbox_root INTERFACE ${PROJECT_SOURCE_DIR})
