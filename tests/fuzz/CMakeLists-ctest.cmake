# CTest tests for the fuzz targets, included by the native tree: one test builds them
# (a clang project of its own, under <build>/fuzz), then one bounded run per target
# of QUINDLE_FUZZ_SECONDS each. Left out, with a note, when no clang++ is found.
set(QUINDLE_FUZZ_SECONDS 60 CACHE STRING "Seconds each fuzz target runs under CTest")
find_program(QUINDLE_FUZZ_CXX NAMES clang++-14 clang++)

if(NOT QUINDLE_FUZZ_CXX)
  message(STATUS "No clang++: the fuzz tests are left out")
else()
  set(fuzz_runner ${CMAKE_CURRENT_LIST_DIR}/run-fuzzers.sh)
  set(fuzz_build ${CMAKE_BINARY_DIR}/fuzz)
  add_test(NAME fuzz_build COMMAND ${CMAKE_COMMAND} -E env CXX=${QUINDLE_FUZZ_CXX}
           ${fuzz_runner} ${fuzz_build} 0)
  set_tests_properties(fuzz_build PROPERTIES FIXTURES_SETUP quindle_fuzz_build TIMEOUT 900 LABELS fuzz)
  foreach(target tn_string ini_path drive_list settings_file)
    add_test(NAME fuzz_${target} COMMAND ${CMAKE_COMMAND} -E env QUINDLE_FUZZ_BUILD=0
             ${fuzz_runner} ${fuzz_build} ${QUINDLE_FUZZ_SECONDS} ${target})
    math(EXPR fuzz_timeout "${QUINDLE_FUZZ_SECONDS} + 120")
    # One target at a time: each keeps a core busy for its whole run.
    set_tests_properties(fuzz_${target} PROPERTIES FIXTURES_REQUIRED quindle_fuzz_build
                         RESOURCE_LOCK quindle_fuzz TIMEOUT ${fuzz_timeout} LABELS fuzz)
  endforeach()
endif()
