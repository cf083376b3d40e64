// The recording MCI driver's log (see mci_log.h). The driver is loaded by winmm into this
// process, so it finds the log path in this process's environment.
#include "mci_log.h"

#include <windows.h>

#include "plugin_files.h"

void InitMciLog() { SetEnvironmentVariableA("QUINDLE_MCI_LOG", g_paths.mciLog.c_str()); }

void ClearMciLog() { RemoveFileIfAny(g_paths.mciLog); }

std::string ReadMciLog() {
  std::string raw, out;
  ReadBytes(g_paths.mciLog, &raw);
  for (char ch : raw) {
    if (ch == '\r') continue;
    out += ch == '\n' ? '|' : ch;
  }
  return out;
}
