// Module entry: binds the host's functions at process attach (a refusal fails the load)
// and derives the settings path.
#include "base/platform.h"
#include "plugin/ini_path.h"
#include "plugin/module_state.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  g_hInstance = instance;
  if (reason != DLL_PROCESS_ATTACH) return TRUE;
  if (!g_BeckyAPI.Bind()) return FALSE;
  InitIniPath(instance);
  return TRUE;
}
