# Native tree: the plug-in's logic against the stand-in platform, its unit tests, and
# the checks on the cross-built artifacts and under Wine.
enable_testing()
find_package(GTest REQUIRED)

option(QUINDLE_SANITIZE "Build the Linux tests with AddressSanitizer and UBSan" OFF)
if(QUINDLE_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

add_library(quindle_standin STATIC
  tests/standin/standin_failure.cpp
  tests/standin/kernel_standin.cpp
  tests/standin/heap_standin.cpp
  tests/standin/profile_standin.cpp
  tests/standin/drives_standin.cpp
  tests/standin/mci_standin.cpp
  tests/standin/dialog_standin.cpp
)
target_include_directories(quindle_standin PUBLIC ${CMAKE_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/tests)

add_library(quindle_core STATIC ${QUINDLE_CORE_SOURCES})
target_include_directories(quindle_core PUBLIC ${CMAKE_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/tests)
target_compile_definitions(quindle_core PRIVATE
  QUINDLE_VENDOR="${QUINDLE_VENDOR}" QUINDLE_HOMEPAGE="${QUINDLE_HOMEPAGE}")
target_link_libraries(quindle_core PUBLIC quindle_standin)

add_subdirectory(tests)

# The same unit tests built with ASan + UBSan (a tree of its own), run from here so
# that one CTest run reports everything.
set(QUINDLE_SANITIZED_DIR "" CACHE PATH "Build tree of the sanitized unit tests")
if(QUINDLE_SANITIZED_DIR)
  add_test(NAME sanitized_unit_tests
    COMMAND ${CMAKE_CTEST_COMMAND} --test-dir ${QUINDLE_SANITIZED_DIR} --output-on-failure
            -E "^(sanitized_unit_tests|fuzz_|artifact_|wine_)")
  set_tests_properties(sanitized_unit_tests PROPERTIES
    ENVIRONMENT "ASAN_OPTIONS=detect_leaks=1:abort_on_error=1;UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1")
endif()

# The cross-built artifacts: checks on the DLL itself and the end-to-end suite under Wine.
set(QUINDLE_WIN32_DIR "" CACHE PATH "Build tree of the cross-built DLL")
set(QUINDLE_WINE_STATE "${CMAKE_BINARY_DIR}/wine-state" CACHE PATH "Wine prefix and state of the end-to-end suite")
option(QUINDLE_WINE_SUITE "Run the end-to-end suite under Wine" ON)
if(QUINDLE_WINE_SUITE AND QUINDLE_WIN32_DIR AND EXISTS ${CMAKE_SOURCE_DIR}/wine/run-suite.sh)
  add_test(NAME wine_end_to_end
    COMMAND ${CMAKE_SOURCE_DIR}/wine/run-suite.sh ${QUINDLE_WIN32_DIR} ${QUINDLE_WINE_STATE})
  # The suite's own power: broken copies of the DLL must fail it.
  add_test(NAME wine_catches_broken_dll
    COMMAND ${CMAKE_SOURCE_DIR}/wine/run-mutants.sh ${QUINDLE_WIN32_DIR} ${QUINDLE_WINE_STATE})
  # Alone: both use one Wine prefix, and emulated launches are slow enough without the fuzzers
  # competing.
  set_tests_properties(wine_end_to_end wine_catches_broken_dll PROPERTIES
    TIMEOUT 1800 SKIP_RETURN_CODE 77 RUN_SERIAL TRUE LABELS wine)
endif()
if(QUINDLE_WIN32_DIR)
  include(${CMAKE_SOURCE_DIR}/tests/artifact/CMakeLists-ctest.cmake)
endif()

# Bounded fuzzing runs of the plug-in's logic (a clang build of its own).
option(QUINDLE_FUZZ "Run the fuzz targets under CTest (needs clang)" ON)
if(QUINDLE_FUZZ)
  include(${CMAKE_SOURCE_DIR}/tests/fuzz/CMakeLists-ctest.cmake)
endif()
