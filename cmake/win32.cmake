# Cross tree: Quindle.dll, a self-contained PE32 DLL that imports only Windows system DLLs.
enable_language(RC)

add_library(quindle SHARED
  ${QUINDLE_CORE_SOURCES}
  plugin/terminate.cpp
  plugin/quindle.def
  ui/quindle.rc
)
set_target_properties(quindle PROPERTIES OUTPUT_NAME Quindle PREFIX "" SUFFIX ".dll")
target_include_directories(quindle PRIVATE ${CMAKE_SOURCE_DIR})
target_compile_definitions(quindle PRIVATE
  QUINDLE_VENDOR="${QUINDLE_VENDOR}" QUINDLE_HOMEPAGE="${QUINDLE_HOMEPAGE}"
  WIN32_LEAN_AND_MEAN NOMINMAX)
target_compile_options(quindle PRIVATE
  $<$<COMPILE_LANGUAGE:CXX>:-ffunction-sections -fno-asynchronous-unwind-tables>)
# Reproducible: no checkout or build folder path may reach the DLL (__FILE__, debug info).
target_compile_options(quindle PRIVATE
  "$<$<COMPILE_LANGUAGE:C,CXX>:-ffile-prefix-map=${CMAKE_SOURCE_DIR}/=;-ffile-prefix-map=${CMAKE_BINARY_DIR}/=>")
target_link_options(quindle PRIVATE
  -static -static-libgcc -static-libstdc++
  -Wl,--gc-sections -Wl,--dynamicbase -Wl,--nxcompat
  -Wl,--no-insert-timestamp -Wl,--enable-stdcall-fixup
  $<$<CONFIG:Release>:-s>)
target_link_libraries(quindle PRIVATE winmm)

add_custom_command(TARGET quindle POST_BUILD
  COMMAND ${CMAKE_COMMAND} -DDLL=$<TARGET_FILE:quindle> -DLIMIT=65536 -P ${CMAKE_SOURCE_DIR}/cmake/report-size.cmake
  VERBATIM)

if(EXISTS ${CMAKE_SOURCE_DIR}/wine/CMakeLists.txt)
  add_subdirectory(wine)
endif()
