// Binding for real: loads the plug-in into this host under several version texts and checks that
// the load succeeds or fails (ERROR_DLL_INIT_FAILED) as the host's export table and version
// require, and how often the plug-in asked for the version. Each host variant runs the rows
// that fit its export table; the full host also starts the variants and relays their lines.
#include "steps.h"

#include <windows.h>

#include "host_api.h"
#include "plugin_files.h"
#include "report.h"

namespace {

struct BindCase {
  const char* id;
  const char* lacks;    // host variant: "" full, else the missing export
  const char* version;  // text BKA_GetVersion returns
  bool accepted;
  int versionCalls;     // expected BKA_GetVersion calls during the load
};

const BindCase kBindCases[] = {
    {"bind-full-2.00.06", "", "2.00.06", true, 1},
    {"bind-full-2.10.00", "", "2.10.00", true, 1},
    {"bind-full-2.00.05", "", "2.00.05", true, 1},
    {"bind-full-2.00.05a", "", "2.00.05a", true, 1},
    {"bind-nosetstatus-2.00.05", "BKA_SetStatus", "2.00.05", true, 1},
    {"bind-nosetstatus-2.00.06", "BKA_SetStatus", "2.00.06", false, 1},
    {"bind-nosetstatus-2.10.00", "BKA_SetStatus", "2.10.00", false, 1},
    {"bind-nosetstatus-2.00.05a", "BKA_SetStatus", "2.00.05a", false, 1},
    {"bind-nosetstatus-1.00.00x", "BKA_SetStatus", "1.00.00x", false, 1},
    {"bind-noconnect-2.10.00", "BKA_Connect", "2.10.00", false, 0},
    {"bind-noconnect-2.00.05", "BKA_Connect", "2.00.05", false, 0},
    {"bind-nonextunread-2.10.00", "BKA_NextUnread", "2.10.00", true, 1},
    {"bind-nonextunread-2.00.05", "BKA_NextUnread", "2.00.05", true, 1},
};

void RunBindCase(const BindCase& c) {
  Step step(c.id);
  SetHostVersion(c.version);
  DWORD error = 0;
  HMODULE m = LoadPlugin(&error);
  if (c.accepted) {
    step.Expect(m != NULL, Format("load refused (error %lu), expected accepted", error));
  } else {
    step.Expect(m == NULL, "load accepted, expected refused");
    if (!m) step.Expect(error == ERROR_DLL_INIT_FAILED, Format("error %lu, expected ERROR_DLL_INIT_FAILED (1114)", error));
  }
  step.Expect(HostVersionCalls() == c.versionCalls,
              Format("BKA_GetVersion called %d times, expected %d", HostVersionCalls(), c.versionCalls));
  if (m) step.Expect(UnloadPlugin(m), "module still loaded after FreeLibrary: the next row would not load it anew");
}

}  // namespace

void RunBindSteps() {
  // The host must really lack what its variant says, or the rows prove nothing.
  {
    Step step(Format("bind-variant-%s", HostLacks()[0] ? HostLacks() : "full").c_str());
    HMODULE self = GetModuleHandleA(NULL);
    const char* names[] = {"BKA_SetStatus", "BKA_Connect", "BKA_NextUnread", "BKA_GetVersion"};
    for (const char* n : names) {
      bool want = lstrcmpA(n, HostLacks()) != 0;
      bool have = GetProcAddress(self, n) != NULL;
      step.Expect(want == have, Format("%s %s", n, have ? "exported but should be missing" : "missing"));
    }
  }
  for (const BindCase& c : kBindCases) {
    if (lstrcmpA(c.lacks, HostLacks()) == 0) RunBindCase(c);
  }
  SetHostVersion("2.10.00");
}
