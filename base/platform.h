// The one place that decides which Win32 the plug-in is built against: the real
// headers for the DLL, or the test suite's stand-in for the Linux unit tests.
#pragma once

#ifdef _WIN32
#include <windows.h>
#include <mmsystem.h>
#else
#include "standin/win32_standin.h"
#endif
