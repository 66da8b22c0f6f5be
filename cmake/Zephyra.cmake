# Shared build rules: warnings for every target, and helpers for tests and
# benchmarks so that each folder's CMakeLists stays a few lines long.

find_package(GTest REQUIRED)
find_package(benchmark REQUIRED)
find_package(Threads REQUIRED)

function(zephyra_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wshadow)
endfunction()

# zephyra_library(name SOURCES ... LIBS ...): a static library whose headers
# are included by folder ("engine/Numbers.h").
function(zephyra_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${ARG_LIBS})
  zephyra_warnings(${name})
endfunction()

# zephyra_test(name SOURCES ... LIBS ...): one GoogleTest executable,
# registered with CTest test by test.
function(zephyra_test name)
  cmake_parse_arguments(ARG "" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
  zephyra_warnings(${name})
  include(GoogleTest)
  if(ARG_TIMEOUT)
    # Each test case of a test that can hang ends within its own time limit.
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT ${ARG_TIMEOUT})
  else()
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60)
  endif()
endfunction()

# zephyra_benchmark(name SOURCES ... LIBS ...)
function(zephyra_benchmark name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} benchmark::benchmark)
  zephyra_warnings(${name})
  set_property(GLOBAL APPEND PROPERTY ZEPHYRA_BENCHMARKS ${name})
endfunction()
