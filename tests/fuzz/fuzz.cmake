# Fuzzing: the seed corpora and dictionaries are written by a program of the main build from the
# code itself; the fuzzers need clang with libFuzzer and are left out cleanly without them.
# `make test` runs each fuzzer for a few seconds on its corpus (tests/fuzz/README.md).
add_executable(fuzz_seeds ${CMAKE_CURRENT_LIST_DIR}/fuzz_seeds.cpp)
target_link_libraries(fuzz_seeds PRIVATE kor_server_core kor_board_model)
target_include_directories(fuzz_seeds PRIVATE ${CMAKE_SOURCE_DIR})
set(KOR_FUZZ_CORPUS ${CMAKE_BINARY_DIR}/fuzz-corpus)
add_custom_command(OUTPUT ${KOR_FUZZ_CORPUS}/written
  COMMAND fuzz_seeds ${KOR_FUZZ_CORPUS}
  COMMAND ${CMAKE_COMMAND} -E touch ${KOR_FUZZ_CORPUS}/written
  DEPENDS fuzz_seeds
  COMMENT "Writing the fuzzers' seed corpora")
add_custom_target(fuzz_corpus ALL DEPENDS ${KOR_FUZZ_CORPUS}/written)

# The test build (with the sanitizers) builds them; a release build does not need them.
option(KOR_FUZZ "Build the fuzzers when clang and libFuzzer are there" ${KOR_SANITIZE})
find_program(KOR_FUZZ_CXX NAMES clang++-14 clang++)
set(KOR_FUZZ_AVAILABLE OFF)
if(KOR_FUZZ AND KOR_FUZZ_CXX)
  # libFuzzer ships apart from clang (libclang-rt-14-dev): a small program must link with it.
  set(probe_dir ${CMAKE_BINARY_DIR}/fuzz-probe)
  file(MAKE_DIRECTORY ${probe_dir})
  file(WRITE ${probe_dir}/probe.cpp
       "#include <cstddef>\n#include <cstdint>\n"
       "extern \"C\" int LLVMFuzzerTestOneInput(const uint8_t*, size_t) { return 0; }\n")
  execute_process(COMMAND ${KOR_FUZZ_CXX} -fsanitize=fuzzer,address,undefined probe.cpp -o probe
                  WORKING_DIRECTORY ${probe_dir} RESULT_VARIABLE probe_result
                  OUTPUT_QUIET ERROR_QUIET)
  if(probe_result EQUAL 0)
    set(KOR_FUZZ_AVAILABLE ON)
  endif()
endif()

if(NOT KOR_FUZZ_AVAILABLE)
  if(KOR_FUZZ)
    message(STATUS "Fuzzers left out: clang with libFuzzer (clang-14, libclang-rt-14-dev) not found")
  endif()
  return()
endif()

include(ExternalProject)
set(KOR_FUZZ_BIN ${CMAKE_BINARY_DIR}/fuzz)
set(fuzz_args -DCMAKE_CXX_COMPILER=${KOR_FUZZ_CXX} -DKOR_SOURCE_DIR=${CMAKE_SOURCE_DIR}
              -DCMAKE_BUILD_TYPE=RelWithDebInfo)
if(CCACHE_PROGRAM)
  list(APPEND fuzz_args -DCMAKE_CXX_COMPILER_LAUNCHER=${CCACHE_PROGRAM})
endif()
ExternalProject_Add(fuzzers
  SOURCE_DIR ${CMAKE_CURRENT_LIST_DIR}
  BINARY_DIR ${KOR_FUZZ_BIN}
  CMAKE_ARGS ${fuzz_args}
  BUILD_ALWAYS ON
  INSTALL_COMMAND "")

# Each fuzzer runs a few seconds: new inputs go to a scratch folder beside the seeds, a crash
# leaves its input there too.
set(KOR_FUZZ_SECONDS 4 CACHE STRING "Seconds each fuzzer runs under CTest")
foreach(name fuzz_tag_message fuzz_message_framer fuzz_server_core fuzz_message_routing
             fuzz_record_readers)
  set(scratch ${KOR_FUZZ_BIN}/found/${name})
  file(MAKE_DIRECTORY ${scratch})
  add_test(NAME ${name}
           COMMAND ${KOR_FUZZ_BIN}/${name} -max_total_time=${KOR_FUZZ_SECONDS} -timeout=20
                   -rss_limit_mb=3072 -print_final_stats=1
                   -dict=${KOR_FUZZ_CORPUS}/${name}.dict -artifact_prefix=${scratch}/
                   ${scratch} ${KOR_FUZZ_CORPUS}/${name})
  set_tests_properties(${name} PROPERTIES LABELS fuzz TIMEOUT 120)
endforeach()
