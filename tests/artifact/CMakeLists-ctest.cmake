# Checks on the cross-built artifacts in QUINDLE_WIN32_DIR (included by the native tree):
# exports, imports, hardening, dialog template, version resource, the checks' own
# power against broken copies, a reproducible rebuild and the release archive.
# Python runs with -B: no bytecode caches in the source tree.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
find_program(QUINDLE_OBJDUMP NAMES i686-w64-mingw32-objdump REQUIRED)

set(artifact_dir ${CMAKE_SOURCE_DIR}/tests/artifact)
set(artifact_dll ${QUINDLE_WIN32_DIR}/Quindle.dll)

foreach(check exports imports mutations)
  add_test(NAME artifact_${check}
    COMMAND ${Python3_EXECUTABLE} -B ${artifact_dir}/check_${check}.py
            --dll ${artifact_dll} --objdump ${QUINDLE_OBJDUMP})
endforeach()
foreach(check hardening dialog version)
  add_test(NAME artifact_${check}
    COMMAND ${Python3_EXECUTABLE} -B ${artifact_dir}/check_${check}.py --dll ${artifact_dll})
endforeach()

add_test(NAME artifact_reproducible_build
  COMMAND ${Python3_EXECUTABLE} -B ${artifact_dir}/check_reproducible_build.py
          --source ${CMAKE_SOURCE_DIR} --reference-build ${QUINDLE_WIN32_DIR}
          --cmake ${CMAKE_COMMAND})
set_tests_properties(artifact_reproducible_build PROPERTIES TIMEOUT 600)

add_test(NAME artifact_package
  COMMAND ${Python3_EXECUTABLE} -B ${artifact_dir}/check_package.py
          --source ${CMAKE_SOURCE_DIR} --win32-build ${QUINDLE_WIN32_DIR})

set_tests_properties(artifact_exports artifact_imports artifact_mutations artifact_hardening
  artifact_dialog artifact_version artifact_reproducible_build artifact_package
  PROPERTIES LABELS artifact)
