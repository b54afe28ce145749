# kx_add_test(name SOURCES a.cpp b.cpp LIBS lib1 lib2 [ENV VAR=value ...])
# One executable per test file group; each GoogleTest case becomes its own CTest test.
function(kx_add_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS;ENV" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main Threads::Threads)
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 60
    PROPERTIES TIMEOUT 300 ENVIRONMENT "${T_ENV}")
endfunction()
