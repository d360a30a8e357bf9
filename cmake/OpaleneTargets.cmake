# Folder-based targets: every .cpp under a folder belongs to its target, so adding a
# file needs no edit here.

# opalene_library(<target> <folder> <link deps...>)
function(opalene_library target dir)
  file(GLOB_RECURSE srcs CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${dir}/*.cpp)
  # A program's entry point sits beside its library's sources but is not part of it.
  list(FILTER srcs EXCLUDE REGEX "/main\\.cpp$")
  if(srcs)
    add_library(${target} STATIC ${srcs})
    target_include_directories(${target} PUBLIC ${CMAKE_SOURCE_DIR}/src)
    target_link_libraries(${target} PUBLIC ${ARGN})
  else()
    add_library(${target} INTERFACE)
    target_include_directories(${target} INTERFACE ${CMAKE_SOURCE_DIR}/src)
    target_link_libraries(${target} INTERFACE ${ARGN})
  endif()
endfunction()

# What every test runs with, offscreen unless a later QT_QPA_PLATFORM overrides it.
set(OPALENE_TEST_ENVIRONMENT
  QT_QPA_PLATFORM=offscreen
  LSAN_OPTIONS=suppressions=${CMAKE_SOURCE_DIR}/tests/lsan.supp
  OPALENE_RESOURCES=${OPALENE_BUNDLE_DIR}
  OPALENE_TEST_DATA=${CMAKE_SOURCE_DIR}/tests/data
  OPALENE_CONFIG_DIR=${CMAKE_BINARY_DIR}/test-home/config
  OPALENE_DATA_DIR=${CMAKE_BINARY_DIR}/test-home/data)

# opalene_tests(<executable> <folder> <link deps...>): one GoogleTest program per folder.
# Settings and application support point into the build folder, never at the user's own.
function(opalene_tests target dir)
  file(GLOB_RECURSE srcs CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${dir}/*.cpp)
  if(NOT srcs)
    return()
  endif()
  add_executable(${target} ${srcs})
  target_include_directories(${target} PRIVATE ${CMAKE_SOURCE_DIR}/tests ${CMAKE_SOURCE_DIR}/src)
  target_link_libraries(${target} PRIVATE ${ARGN} GTest::gtest GTest::gmock GTest::gtest_main)
  # Every test (and the discovery of tests) runs through env with the test environment: a list
  # handed to the ENVIRONMENT property would reach the tests with its first variable only.
  set_target_properties(${target} PROPERTIES CROSSCOMPILING_EMULATOR "env;${OPALENE_TEST_ENVIRONMENT}")
  # Each test carries its program's name as a label, so a preset can pick whole suites.
  gtest_discover_tests(${target} DISCOVERY_TIMEOUT 60 PROPERTIES LABELS ${target})
endfunction()

# opalene_benchmarks(<folder> <link deps...>): one Google Benchmark program per file.
function(opalene_benchmarks dir)
  file(GLOB srcs CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${dir}/*.cpp)
  foreach(src ${srcs})
    get_filename_component(name ${src} NAME_WE)
    add_executable(bench_${name} ${src})
    target_include_directories(bench_${name} PRIVATE ${CMAKE_SOURCE_DIR}/src)
    target_link_libraries(bench_${name} PRIVATE ${ARGN} benchmark::benchmark benchmark::benchmark_main)
    # Looks measured without their papers and textures would measure a different run.
    add_dependencies(bench_${name} artwork)
  endforeach()
endfunction()
