# Prints the built DLL's path and size against its budget.
file(SIZE "${DLL}" size)
math(EXPR kib "(${size} + 1023) / 1024")
math(EXPR limit_kib "${LIMIT} / 1024")
message(STATUS "Quindle.dll: ${DLL} (${size} bytes, ${kib} KB of a ${limit_kib} KB budget)")
