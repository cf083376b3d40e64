// Module-wide state, set while the module attaches to the host process and only read
// afterwards.
#pragma once

#include "base/platform.h"
#include "host/becky_api.h"

extern HINSTANCE g_hInstance;       // the plug-in's own module
extern char g_szIniPath[MAX_PATH];  // settings file; empty when the module path is unusable
extern CBeckyAPI g_BeckyAPI;        // the host's service functions
