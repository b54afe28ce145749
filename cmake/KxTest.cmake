# GoogleTest's header and the standard ones the tests use most, compiled once into
# HOLDER for every test program built as it is (with LIBS): parsing them was most of a
# test file's build.
function(kx_test_headers holder)
  if(TARGET ${holder})
    return()
  endif()
  add_library(${holder} STATIC ${PROJECT_SOURCE_DIR}/tests/support/TestHeaders.cpp)
  target_link_libraries(${holder} PRIVATE GTest::gtest Threads::Threads ${ARGN})
  target_precompile_headers(${holder} PRIVATE
    <gtest/gtest.h> <algorithm> <chrono> <filesystem> <functional> <memory> <string> <thread> <vector>)
endfunction()

# kx_add_test(name SOURCES a.cpp b.cpp LIBS lib1 lib2 [ENV VAR=value ...])
# One executable per test file group. Natively each GoogleTest case becomes its own CTest
# test. Under Wine, listing the cases would start Wine once more for every program, so
# the program is one CTest test, run in the Wine prefix of this test run.
function(kx_add_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS;ENV" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main Threads::Threads)
  # Qt builds its users position-independent, and compiled headers must match.
  set(holder kx_test_headers)
  set(holder_libs "")
  if("kx_qt_test_main" IN_LIST T_LIBS)
    set(holder kx_qt_test_headers)
    set(holder_libs kx_qt_test_main)
  endif()
  kx_test_headers(${holder} ${holder_libs})
  target_precompile_headers(${name} REUSE_FROM ${holder})
  if(CMAKE_CROSSCOMPILING)
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES
      TIMEOUT 300 FIXTURES_REQUIRED wine_prefix ENVIRONMENT "${KX_WINE_ENV};${T_ENV}")
  else()
    gtest_discover_tests(${name}
      DISCOVERY_MODE PRE_TEST
      DISCOVERY_TIMEOUT 60
      PROPERTIES TIMEOUT 300 ENVIRONMENT "${T_ENV}")
  endif()
endfunction()

# The Wine prefix that a test run under Wine makes first and removes last.
set(KX_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
set(KX_WINE_ENV "WINEPREFIX=${KX_WINEPREFIX};WINEDEBUG=-all")
