// Definitions of the module-wide state. CBeckyAPI is constant-initialised, so the
// table is in place, unbound, before any code of the module runs.
#include "plugin/module_state.h"

HINSTANCE g_hInstance = nullptr;
char g_szIniPath[MAX_PATH] = "";
constinit CBeckyAPI g_BeckyAPI;
