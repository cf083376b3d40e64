// Test host playing the Becky! mail client: loads Quindle.dll and runs the scenario groups named
// on the command line in this one process, printing one result line per step and a closing line.
// Usage: quindle-host.exe --plugin <path of Quindle.dll> --work <scratch folder>
//                         [--shot <screenshot hand-shake folder>] <group>...
// Groups: bind variants abi notify dialog truth demo.
#include <windows.h>
#include <stdio.h>

#include <string>

#include "host_api.h"
#include "mci_log.h"
#include "plugin_files.h"
#include "report.h"
#include "steps.h"

namespace {

// The prefix's mount manager starts in the background: wait until it reports D: as a CD-ROM
// drive before anything looks at drives (a program started too early sees a fixed disk).
void WaitForDrives() {
  Step step("env-drives-ready");
  for (int i = 0; i < 900 && GetDriveTypeA("D:\\") != DRIVE_CDROM; ++i) Sleep(100);
  step.Expect(GetDriveTypeA("D:\\") == DRIVE_CDROM, Format("D: has drive type %u after 90 s, expected 5", GetDriveTypeA("D:\\")));
}

void CheckCodePage() {
  Step step("env-code-page-932");
  step.Expect(GetACP() == 932, Format("ANSI code page %u, expected 932 (run with LANG=ja_JP.UTF-8)", GetACP()));
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
    if (g != "bind" && g != "variants" && !drivesChecked) {
      CheckCodePage();
      WaitForDrives();
      drivesChecked = true;
    }
    DWORD t0 = GetTickCount();
    if (g == "bind") {
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
