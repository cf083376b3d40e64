// Deriving the settings file's path from the module's own path.
#pragma once

#include "base/platform.h"

// Writes into `out` (`size` bytes) the module path with the file name's extension
// replaced by ".ini" (or ".ini" appended when the file name has none). Returns FALSE
// and leaves `out` empty when the module path is empty, was truncated (`length` >=
// `size`), or the result would not fit.
BOOL MakeIniPath(LPCSTR modulePath, DWORD length, LPSTR out, DWORD size);

// Fills g_szIniPath for the given module; leaves it empty when that is not possible.
void InitIniPath(HMODULE module);
