// The demonstration run: a fetch of three new messages with "Drive" set to "全て" (all drives);
// prints every tray command that reached the recording MCI driver, in words.
#include "steps.h"

#include <windows.h>
#include <mmsystem.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "cp932_texts.h"
#include "mci_log.h"
#include "plugin_files.h"
#include "report.h"
#include "stdcall_probe.h"

namespace {

std::string InWords(const std::string& line) {
  char verb[32] = "", element[16] = "";
  unsigned long flags = 0;
  const char* f = strstr(line.c_str(), "flags=0x");
  if (f) flags = strtoul(f + 8, NULL, 16);
  sscanf(line.c_str(), "%31s %15s", verb, element);
  std::string where = lstrcmpA(element, "-") == 0 ? std::string("default CD audio device") : std::string("drive ") + element;
  std::string what;
  if (lstrcmpA(verb, "open") == 0) {
    what = "MCI_OPEN \"cdaudio\"";
  } else if (lstrcmpA(verb, "open-refused") == 0) {
    what = "MCI_OPEN \"cdaudio\" (refused)";
  } else if (lstrcmpA(verb, "set") == 0) {
    what = (flags & MCI_SET_DOOR_OPEN) ? "MCI_SET door open (tray out)" : (flags & MCI_SET_DOOR_CLOSED) ? "MCI_SET door closed" : "MCI_SET";
  } else if (lstrcmpA(verb, "close") == 0) {
    what = "MCI_CLOSE";
  } else {
    what = verb;
  }
  return Format("%-24s %-30s flags 0x%04lX", where.c_str(), what.c_str(), flags);
}

}  // namespace

void RunDemo() {
  Step step("demo-three-new-messages-all-drives");
  DWORD error = 0;
  HMODULE m = LoadPlugin(&error);
  if (!step.Expect(m != NULL, Format("LoadLibrary failed with %lu", error))) return;
  const char* ini = "[Option]\r\nDrive=" QT_ALL "\r\nRunOn=1\r\nCloseOn=0\r\n";
  SetIniFile(ini);
  ClearMciLog();
  printf("demo: settings file %s: Drive=<all drives> RunOn=1 CloseOn=0\n", g_paths.ini.c_str());
  printf("demo: BKC_OnFinishRetrieve(3) ...\n");
  uint32_t count = 3;
  ProbeResult r = CallProbed(reinterpret_cast<const void*>(GetProcAddress(m, "BKC_OnFinishRetrieve")), 1, &count);
  printf("demo: returned %lu; tray commands received by the MCI recorder:\n", (unsigned long)r.ret);
  std::string log = ReadMciLog(), line;
  for (char ch : log) {
    if (ch != '|') {
      line += ch;
      continue;
    }
    printf("demo:   %s\n", InWords(line).c_str());
    line.clear();
  }
  fflush(stdout);
  const char* expect =
      "open D: type=cdaudio flags=0x2202|set D: flags=0x102 parms=null|close D: flags=0x2 parms=null|"
      "open E: type=cdaudio flags=0x2202|set E: flags=0x102 parms=null|close E: flags=0x2 parms=null|";
  step.Expect(log == expect, "recorder saw \"" + Escaped(log) + "\"");
  UnloadPlugin(m);
}
