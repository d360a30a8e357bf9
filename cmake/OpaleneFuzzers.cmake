# libFuzzer targets. The project compiles with g++, whose sanitizer runtime cannot be mixed with
# libFuzzer's, so each fuzzer is its own small clang build (tests/fuzz/CMakeLists.txt) of the
# platform layers it needs.
include(ExternalProject)

find_program(OPALENE_CLANGXX NAMES clang++ clang++-14)

# opalene_fuzzer(<name> <source> <test target>): builds <name> from <source> with clang and
# tells the test program where it is (OPALENE_FUZZER_<NAME>); the test runs it.
function(opalene_fuzzer name source test_target)
  if(NOT OPALENE_CLANGXX OR NOT TARGET ${test_target})
    return()
  endif()
  set(bin ${CMAKE_BINARY_DIR}/fuzz/${name}-build)
  ExternalProject_Add(${name}_build
    SOURCE_DIR ${CMAKE_SOURCE_DIR}/tests/fuzz
    BINARY_DIR ${bin}
    CMAKE_ARGS -G Ninja -DCMAKE_CXX_COMPILER=${OPALENE_CLANGXX} -DCMAKE_BUILD_TYPE=Debug
               -DCMAKE_CXX_COMPILER_LAUNCHER=${CCACHE_PROGRAM}
               -DOPALENE_SOURCE_DIR=${CMAKE_SOURCE_DIR} -DFUZZER_NAME=${name} -DFUZZER_SOURCE=${source}
    # Two jobs: the outer build runs beside it on a shared machine.
    BUILD_COMMAND ${CMAKE_COMMAND} --build <BINARY_DIR> -j 2
    BUILD_ALWAYS ON
    INSTALL_COMMAND "")
  add_dependencies(${test_target} ${name}_build)
  string(TOUPPER ${name} upper)
  target_compile_definitions(${test_target} PRIVATE OPALENE_FUZZER_${upper}="${bin}/${name}")
endfunction()
