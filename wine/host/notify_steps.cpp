// New mail for real: BKC_OnFinishRetrieve goes through the real winmm, which routes "cdaudio" to
// the recording MCI driver; each row compares the commands the driver received, and checks that
// the settings file was only read.
#include "steps.h"

#include <windows.h>

#include "cp932_texts.h"
#include "mci_log.h"
#include "plugin_files.h"
#include "report.h"
#include "stdcall_probe.h"

namespace {

#define OPT "[Option]\r\n"
#define SEQ(el, fl) "open " el " type=cdaudio flags=" fl "|set " el " flags=0x102 parms=null|close " el " flags=0x2 parms=null|"
#define SEQ_CLOSING(el, fl)                                                                  \
  "open " el " type=cdaudio flags=" fl "|set " el " flags=0x202 parms=null|set " el         \
  " flags=0x102 parms=null|close " el " flags=0x2 parms=null|"
#define DEFAULT_SEQ SEQ("-", "0x2002")

struct NotifyCase {
  const char* id;
  const char* ini;     // settings file bytes; nullptr: no file
  int32_t count;       // argument of BKC_OnFinishRetrieve
  const char* refuse;  // element whose open the recorder refuses ("" none)
  const char* expect;  // recorder lines, each followed by '|'
};

const NotifyCase kNotifyCases[] = {
    {"notify-no-file", nullptr, 3, "", DEFAULT_SEQ},
    {"notify-count-0", OPT "Drive=" QT_ALL "\r\nRunOn=1\r\n", 0, "", ""},
    {"notify-count-negative", OPT "Drive=" QT_ALL "\r\nRunOn=1\r\n", -1, "", ""},
    {"notify-runon-0", OPT "Drive=" QT_ALL "\r\nRunOn=0\r\nCloseOn=1\r\n", 3, "", ""},
    {"notify-runon-empty", OPT "RunOn=\r\n", 1, "", DEFAULT_SEQ},
    {"notify-runon-2", OPT "Drive=E:\\\r\nRunOn=2\r\n", 1, "", SEQ("E:", "0x2202")},
    {"notify-default-keyword", OPT "Drive=" QT_DEFAULT "\r\nRunOn=1\r\nCloseOn=0\r\n", 3, "", DEFAULT_SEQ},
    {"notify-all", OPT "Drive=" QT_ALL "\r\nRunOn=1\r\nCloseOn=0\r\n", 3, "", SEQ("D:", "0x2202") SEQ("E:", "0x2202")},
    {"notify-one-drive", OPT "Drive=E:\\\r\nRunOn=1\r\nCloseOn=0\r\n", 2, "", SEQ("E:", "0x2202")},
    {"notify-lower-case-root", OPT "Drive=d:\\\r\n", 1, "", SEQ("d:", "0x2202")},
    {"notify-closeon-1", OPT "Drive=D:\\\r\nRunOn=1\r\nCloseOn=1\r\n", 1, "", SEQ_CLOSING("D:", "0x2202")},
    {"notify-closeon-1-all", OPT "Drive=" QT_ALL "\r\nCloseOn=1\r\n", 1, "",
     SEQ_CLOSING("D:", "0x2202") SEQ_CLOSING("E:", "0x2202")},
    {"notify-closeon-2", OPT "Drive=D:\\\r\nCloseOn=2\r\n", 1, "", SEQ("D:", "0x2202")},
    {"notify-failing-drive-passed-over", OPT "Drive=" QT_ALL "\r\nRunOn=1\r\nCloseOn=0\r\n", 3, "D:",
     "open-refused D: type=cdaudio flags=0x2202|" SEQ("E:", "0x2202")},
    {"notify-failing-single-drive", OPT "Drive=E:\\\r\nCloseOn=1\r\n", 3, "E:", "open-refused E: type=cdaudio flags=0x2202|"},
    {"notify-all-trailing-blanks", OPT "Drive = " QT_ALL "  \r\n", 1, "", SEQ("D:", "0x2202") SEQ("E:", "0x2202")},
    {"notify-quoted-drive", OPT "Drive=\"E:\\\"\r\n", 1, "", SEQ("E:", "0x2202")},
};

void RunNotifyCase(HMODULE m, const NotifyCase& c) {
  Step step(c.id);
  SetIniFile(c.ini);
  SetEnvironmentVariableA("QUINDLE_MCI_FAIL", c.refuse[0] ? c.refuse : NULL);
  ClearMciLog();
  uint32_t arg = static_cast<uint32_t>(c.count);
  ProbeResult r = CallProbed(reinterpret_cast<const void*>(GetProcAddress(m, "BKC_OnFinishRetrieve")), 1, &arg);
  step.Expect(r.ret == 0 && r.espDelta == 0, Format("returned %lu, ESP off by %ld", (unsigned long)r.ret, (long)r.espDelta));
  std::string log = ReadMciLog();
  step.Expect(log == c.expect, "recorder saw \"" + Escaped(log) + "\", expected \"" + Escaped(c.expect) + "\"");
  std::string after;
  bool exists = ReadBytes(g_paths.ini, &after);
  if (c.ini) {
    step.Expect(exists && after == c.ini, "settings file changed to \"" + Escaped(after) + "\"");
  } else {
    step.Expect(!exists, "a settings file appeared: \"" + Escaped(after) + "\"");
  }
}

}  // namespace

void RunNotifySteps() {
  DWORD error = 0;
  HMODULE m = LoadPlugin(&error);
  if (!m) {
    ReportFail("notify-load", Format("LoadLibrary failed with %lu", error));
    return;
  }
  for (const NotifyCase& c : kNotifyCases) RunNotifyCase(m, c);
  SetEnvironmentVariableA("QUINDLE_MCI_FAIL", NULL);
  UnloadPlugin(m);
}
