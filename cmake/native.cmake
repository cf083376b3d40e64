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
