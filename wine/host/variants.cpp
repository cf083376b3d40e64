// Starts the host variants that lack an export (they are separate executables, since a missing
// export must be missing from the executable itself) with the "bind" group, and relays their
// result lines. A variant that dies or never prints its closing line counts as an
// infrastructure failure, not as a test result.
#include "steps.h"

#include <windows.h>

#include <vector>

#include "plugin_files.h"
#include "report.h"

namespace {

void RunVariant(const std::string& folder, const char* variant) {
  std::string id = std::string("bind-variant-run-") + variant;
  std::string exe = folder + "\\quindle-host-" + variant + ".exe";
  std::string cmd = "\"" + exe + "\" --plugin \"" + g_paths.plugin + "\" --work \"" + g_paths.work + "\" bind";
  SECURITY_ATTRIBUTES sa = {sizeof sa, NULL, TRUE};
  HANDLE readEnd = NULL, writeEnd = NULL;
  if (!CreatePipe(&readEnd, &writeEnd, &sa, 0)) {
    ReportInfra(id.c_str(), "CreatePipe failed");
    return;
  }
  SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOA si = {};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  si.hStdOutput = writeEnd;
  si.hStdError = writeEnd;
  PROCESS_INFORMATION pi = {};
  std::vector<char> line(cmd.begin(), cmd.end());
  line.push_back(0);
  BOOL started = CreateProcessA(exe.c_str(), line.data(), NULL, NULL, TRUE, 0, NULL, NULL, &si, &pi);
  CloseHandle(writeEnd);
  if (!started) {
    ReportFail(id.c_str(), Format("cannot start %s (error %lu)", exe.c_str(), GetLastError()));
    CloseHandle(readEnd);
    return;
  }
  std::string pending;
  bool closed = false;
  char buf[512];
  DWORD got = 0;
  while (ReadFile(readEnd, buf, sizeof buf, &got, NULL) && got > 0) {
    for (DWORD i = 0; i < got; ++i) {
      if (buf[i] == '\r') continue;
      if (buf[i] != '\n') {
        pending += buf[i];
        continue;
      }
      if (pending.rfind("wine-suite:", 0) == 0) {
        closed = true;
        ReportNote(std::string(variant) + ": " + pending);
      } else if (!pending.empty()) {
        ReportRelay(pending);
      }
      pending.clear();
    }
  }
  CloseHandle(readEnd);
  WaitForSingleObject(pi.hProcess, 60000);
  DWORD code = 0;
  GetExitCodeProcess(pi.hProcess, &code);
  CloseHandle(pi.hProcess);
  CloseHandle(pi.hThread);
  if (!closed) ReportInfra(id.c_str(), Format("variant ended without its closing line (exit code 0x%lx)", code));
}

}  // namespace

void RunVariantHosts() {
  char self[MAX_PATH];
  DWORD n = GetModuleFileNameA(NULL, self, sizeof self);
  std::string folder(self, n);
  folder = folder.substr(0, folder.rfind('\\'));
  for (const char* v : {"no-setstatus", "no-connect", "no-nextunread"}) RunVariant(folder, v);
}
