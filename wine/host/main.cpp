// Test host playing the Becky! mail client: loads Quindle.dll and runs the scenario groups named
// on the command line in this one process, printing one result line per step and a closing line.
// Usage: quindle-host.exe --plugin <path of Quindle.dll> --work <scratch folder>
//                         [--shot <screenshot hand-shake folder>] <group>...
// Groups: env (session ready: code page, drives, desktop) bind variants abi notify dialog truth demo.
#include <windows.h>
#include <stdio.h>

#include <string>

#include "host_api.h"
#include "mci_log.h"
#include "plugin_files.h"
#include "report.h"
#include "steps.h"

namespace {

bool DIsCdrom() { return GetDriveTypeA("D:\\") == DRIVE_CDROM; }

bool WaitForCdrom(int seconds) {
  for (int i = 0; i < seconds * 10 && !DIsCdrom(); ++i) Sleep(100);
  return DIsCdrom();
}

// Under emulation a service process sometimes crashes while the session comes up; when it was
// the one hosting the mount manager, start that service again (services.exe has marked it
// stopped). Returns a description of what was found, for the log.
std::string RestartMountManager() {
  SC_HANDLE scm = OpenSCManagerA(NULL, NULL, SC_MANAGER_CONNECT);
  if (!scm) return Format("no service manager (error %lu)", GetLastError());
  std::string what;
  SC_HANDLE svc = OpenServiceA(scm, "MountMgr", SERVICE_QUERY_STATUS | SERVICE_START);
  SERVICE_STATUS st = {};
  if (!svc) {
    what = Format("no MountMgr service (error %lu)", GetLastError());
  } else if (!QueryServiceStatus(svc, &st)) {
    what = Format("MountMgr status unknown (error %lu)", GetLastError());
  } else if (st.dwCurrentState == SERVICE_RUNNING) {
    what = "MountMgr running";
  } else if (StartServiceA(svc, 0, NULL)) {
    what = Format("MountMgr was in state %lu: restarted", st.dwCurrentState);
  } else {
    what = Format("MountMgr in state %lu, restart failed (error %lu)", st.dwCurrentState, GetLastError());
  }
  if (svc) CloseServiceHandle(svc);
  CloseServiceHandle(scm);
  return what;
}

// The prefix's mount manager starts in the background: wait until it reports D: as a CD-ROM
// drive before anything looks at drives (a program started too early sees a fixed disk). When
// it never does, the session's services are not working: an environment failure, not a result.
void WaitForDrives() {
  Step step("env-drives-ready");
  if (WaitForCdrom(30)) return;
  // The service manager refuses starts while it is still bringing the session's services up
  // (ERROR_SERVICE_DATABASE_LOCKED): keep asking for a while.
  std::string what;
  for (int round = 0; round < 15; ++round) {
    what = RestartMountManager();
    ReportNote("D: not a CD-ROM drive yet; " + what);
    if (WaitForCdrom(10)) return;
  }
  step.Infra(Format("D: has drive type %u, expected 5: the mount manager is not answering (%s)",
                    GetDriveTypeA("D:\\"), what.c_str()));
}

void CheckCodePage() {
  Step step("env-code-page-932");
  step.Expect(GetACP() == 932, Format("ANSI code page %u, expected 932 (run with LANG=ja_JP.UTF-8)", GetACP()));
}

// Brings up the session's desktop by creating (and destroying) a window: two programs that
// both start it at the same moment can leave one of them with a dead desktop window.
void StartDesktop() {
  Step step("env-desktop");
  HWND w = CreateWindowExW(0, L"STATIC", L"quindle", WS_POPUP, 0, 0, 10, 10, NULL, NULL, NULL, NULL);
  if (!w) {
    step.Infra(Format("cannot create a window (error %lu)", GetLastError()));
    return;
  }
  DestroyWindow(w);
}

}  // namespace

int main(int argc, char** argv) {
  std::string plugin, work, shot;
  int first = argc;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    if (a == "--plugin" && i + 1 < argc) {
      plugin = argv[++i];
    } else if (a == "--work" && i + 1 < argc) {
      work = argv[++i];
    } else if (a == "--shot" && i + 1 < argc) {
      shot = argv[++i];
    } else {
      first = i;
      break;
    }
  }
  if (plugin.empty() || work.empty() || first >= argc) {
    fprintf(stderr, "usage: %s --plugin <dll> --work <dir> [--shot <dir>] <group>...\n", argv[0]);
    return 64;
  }
  InitPaths(plugin, work, shot);
  InitMciLog();
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  ReportNote(Format("host %s, code page %u", HostLacks()[0] ? HostLacks() : "full", GetACP()));

  bool drivesChecked = false;
  for (int i = first; i < argc; ++i) {
    std::string g = argv[i];
    if (g == "env") {
      StartDesktop();
    }
    if (g != "bind" && g != "variants" && !drivesChecked) {
      CheckCodePage();
      WaitForDrives();
      drivesChecked = true;
    }
    DWORD t0 = GetTickCount();
    if (g == "env") {
      // checked above
    } else if (g == "bind") {
      RunBindSteps();
    } else if (g == "variants") {
      RunVariantHosts();
    } else if (g == "abi") {
      RunAbiSteps();
    } else if (g == "notify") {
      RunNotifySteps();
    } else if (g == "dialog") {
      RunDialogSteps();
    } else if (g == "truth") {
      RunTruthSteps();
    } else if (g == "demo") {
      RunDemo();
    } else {
      ReportFail(("group-" + g).c_str(), "no such group");
      continue;
    }
    ReportNote(Format("group %s took %lu ms", g.c_str(), GetTickCount() - t0));
  }
  return ReportFinish();
}
