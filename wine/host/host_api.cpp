// The 56 service functions the test host exports to the plug-in. Only BKA_GetVersion does
// anything; the rest are stubs that answer 0. They take no arguments, so plain C linkage and
// WINAPI give the same stack effect, and the exported names stay undecorated. Which names are
// exported is decided by the build's export definitions (one per host variant).
#include "host_api.h"

#include <windows.h>

#ifndef HOST_LACKS
#define HOST_LACKS ""
#endif

namespace {
char g_version[64] = "2.10.00";
int g_versionCalls = 0;
}  // namespace

void SetHostVersion(const char* text) {
  lstrcpynA(g_version, text, sizeof g_version);
  g_versionCalls = 0;
}

int HostVersionCalls() { return g_versionCalls; }

const char* HostLacks() { return HOST_LACKS; }

extern "C" {

const char* BKA_GetVersion() {
  ++g_versionCalls;
  return g_version;
}

#define BKA_VERSION(name)
#define BKA_NAME(name) \
  int BKA_##name() { return 0; }
#include "bka_names.h"
#undef BKA_NAME
#undef BKA_VERSION
}
