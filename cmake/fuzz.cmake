# Coverage-guided fuzzing of the portable core with libFuzzer (clang only).
# Each tests/fuzz/Fuzz<Name>.cpp is one target, built with the core's sources
# under the fuzzer, ASan and UBSan, and registered as a ctest test (label fuzz)
# that runs for a bounded time on a working copy of its seed corpus. The copy
# lives in the build folder: libFuzzer adds what it finds to the first corpus
# folder, and the seeds in the source tree must stay as they were written.
# A crashing input lands in <build>/fuzz-artifacts/<target>/; rerun it with
#   <build>/<target> <that file>

set(OCU_FUZZ_SANITIZE address,undefined)
set(OCU_FUZZ_COMPILE -fno-sanitize-recover=undefined -fno-omit-frame-pointer -O1 -g)
set(OCU_FUZZ_SECONDS 20 CACHE STRING "Seconds each fuzz test runs")

# The core once, instrumented for coverage; every target links these objects.
add_library(ocu_fuzz_core OBJECT ${OCU_CORE_SOURCES})
target_include_directories(ocu_fuzz_core PUBLIC ${CMAKE_SOURCE_DIR}/src)
target_compile_options(ocu_fuzz_core PRIVATE ${OCU_WARNINGS}
  -fsanitize=fuzzer-no-link,${OCU_FUZZ_SANITIZE} ${OCU_FUZZ_COMPILE})

set(OCU_FUZZ_TARGETS
  fuzz_ini_file:FuzzIniFile
  fuzz_ini_manager:FuzzIniManager
  fuzz_rotate:FuzzRotate
  fuzz_bmp:FuzzBmp
  fuzz_number_input:FuzzNumberInput
  fuzz_frame:FuzzFrame)

add_custom_target(ocu_fuzz)
foreach(entry IN LISTS OCU_FUZZ_TARGETS)
  string(REPLACE ":" ";" parts ${entry})
  list(GET parts 0 name)
  list(GET parts 1 source)
  add_executable(${name} ${CMAKE_SOURCE_DIR}/tests/fuzz/${source}.cpp $<TARGET_OBJECTS:ocu_fuzz_core>)
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR}/tests)
  target_compile_options(${name} PRIVATE ${OCU_WARNINGS} -fsanitize=fuzzer,${OCU_FUZZ_SANITIZE} ${OCU_FUZZ_COMPILE})
  target_link_options(${name} PRIVATE -fsanitize=fuzzer,${OCU_FUZZ_SANITIZE})
  target_link_libraries(${name} PRIVATE ocu_test_support)
  add_dependencies(ocu_fuzz ${name})

  set(seeds ${CMAKE_SOURCE_DIR}/tests/fuzz/corpus/${name})
  set(work ${CMAKE_BINARY_DIR}/fuzz-corpus/${name})
  set(artifacts ${CMAKE_BINARY_DIR}/fuzz-artifacts/${name})
  file(MAKE_DIRECTORY ${work} ${artifacts})
  if(EXISTS ${seeds})
    file(COPY ${seeds}/ DESTINATION ${work})
  endif()
  add_test(NAME ${name}
    COMMAND ${name} -max_total_time=${OCU_FUZZ_SECONDS} -rss_limit_mb=2048 -print_final_stats=1
            -artifact_prefix=${artifacts}/ ${work}
    WORKING_DIRECTORY ${CMAKE_BINARY_DIR})
  # Loading the corpus and the final merge of coverage take a few seconds more.
  math(EXPR timeout "${OCU_FUZZ_SECONDS} * 3 + 60")
  set_tests_properties(${name} PROPERTIES LABELS fuzz TIMEOUT ${timeout})
endforeach()

# Inputs the fuzzers once broke the core with, as plain unit tests.
file(GLOB OCU_FUZZ_REGRESSIONS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/fuzz/regressions/*.cpp)
if(OCU_FUZZ_REGRESSIONS)
  add_executable(ocu_fuzz_regressions ${OCU_FUZZ_REGRESSIONS} $<TARGET_OBJECTS:ocu_fuzz_core>)
  target_include_directories(ocu_fuzz_regressions PRIVATE ${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR}/tests)
  target_compile_options(ocu_fuzz_regressions PRIVATE -fsanitize=${OCU_FUZZ_SANITIZE} ${OCU_FUZZ_COMPILE})
  # The core objects carry the fuzzer's coverage hooks; its no-main runtime answers them.
  target_link_options(ocu_fuzz_regressions PRIVATE -fsanitize=fuzzer-no-link,${OCU_FUZZ_SANITIZE})
  target_link_libraries(ocu_fuzz_regressions PRIVATE ocu_test_support GTest::gtest GTest::gtest_main)
  add_dependencies(ocu_fuzz ocu_fuzz_regressions)
  gtest_discover_tests(ocu_fuzz_regressions DISCOVERY_TIMEOUT 60 PROPERTIES LABELS fuzz)
endif()
