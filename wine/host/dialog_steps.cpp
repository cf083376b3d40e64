// The options dialog for real: BKC_OnPlugInSetup runs the modal dialog on a second thread while
// this thread finds it, checks caption, drive list, selection, check and enabled states, clicks
// the "on" box and presses OK or Cancel like a user, then checks the settings file bytes.
#include "steps.h"

#include <windows.h>

#include <vector>

#include "cp932_texts.h"
#include "plugin_files.h"
#include "report.h"
#include "screenshot.h"
#include "stdcall_probe.h"

namespace {

const int IDC_RUNON = 1001, IDC_DRIVE_LABEL = 1002, IDC_DRIVE = 1003, IDC_CLOSEON = 1004;
const wchar_t kCaption[] = L"Quindle \u30AA\u30D7\u30B7\u30E7\u30F3\u8A2D\u5B9A";  // Quindle オプション設定
const wchar_t kItemDefault[] = L"\u30C7\u30D5\u30A9\u30EB\u30C8";                     // デフォルト
const wchar_t kItemAll[] = L"\u5168\u3066";                                            // 全て

#define OPT "[Option]\r\n"
#define SAVED(drive, runOn, closeOn) OPT "Drive=" drive "\r\nRunOn=" runOn "\r\nCloseOn=" closeOn "\r\n"

struct DialogCase {
  const char* id;
  const char* before;  // settings file before; nullptr: none
  bool byOrdinal;      // call BKC_OnPlugInSetup through ordinal 13
  int selection;       // expected combo selection when the dialog opens
  bool runOn, closeOn; // expected check states when it opens
  const char* actions; // 'r' click the "on" box, 'c' click the close box; then 'O' OK or 'C' Cancel
  const char* after;   // settings file expected afterwards; nullptr: none
  bool screenshot;
};

const DialogCase kDialogCases[] = {
    {"dialog-no-file-ok", nullptr, false, 0, true, false, "O", SAVED(QT_DEFAULT, "1", "0"), true},
    {"dialog-no-file-cancel", nullptr, true, 0, true, false, "rC", nullptr, false},
    {"dialog-runon-0-tick-ok", SAVED(QT_ALL, "0", "0"), true, 3, false, false, "rrrO", SAVED(QT_ALL, "1", "0"), false},
    {"dialog-lower-root-untick-cancel", SAVED("e:\\", "1", "1"), false, 2, true, true, "rC", SAVED("e:\\", "1", "1"), false},
    {"dialog-lower-root-ok", SAVED("e:\\", "1", "1"), false, 2, true, true, "O", SAVED("E:\\", "1", "1"), false},
    {"dialog-drive-gone-ok", SAVED("F:\\", "1", "0"), false, 0, true, false, "O", SAVED(QT_DEFAULT, "1", "0"), false},
    {"dialog-all-untick-ok", SAVED(QT_ALL, "1", "1"), false, 3, true, true, "rO", SAVED(QT_ALL, "0", "1"), false},
    {"dialog-closeon-click-ok", SAVED("D:\\", "1", "0"), false, 1, true, false, "cO", SAVED("D:\\", "1", "1"), false},
    {"dialog-runon-2-ok", SAVED("D:\\", "2", "2"), false, 1, true, false, "O", SAVED("D:\\", "1", "0"), false},
};

struct SetupCall {
  const void* fn;
  ProbeResult result;
};

DWORD WINAPI SetupThread(void* p) {
  SetupCall* call = static_cast<SetupCall*>(p);
  uint32_t parent = 0;
  call->result = CallProbed(call->fn, 1, &parent);
  return 0;
}

BOOL CALLBACK FindDialog(HWND w, LPARAM out) {
  wchar_t cls[32];
  if (GetClassNameW(w, cls, 32) && lstrcmpW(cls, L"#32770") == 0 && IsWindowVisible(w)) {
    *reinterpret_cast<HWND*>(out) = w;
    return FALSE;
  }
  return TRUE;
}

HWND WaitForDialog(DWORD thread, HANDLE handle) {
  for (int i = 0; i < 600; ++i) {
    HWND found = NULL;
    EnumThreadWindows(thread, FindDialog, reinterpret_cast<LPARAM>(&found));
    if (found) return found;
    if (WaitForSingleObject(handle, 100) == WAIT_OBJECT_0) return NULL;
  }
  return NULL;
}

std::wstring Text(HWND w) {
  wchar_t buf[256] = L"";
  GetWindowTextW(w, buf, 256);
  return buf;
}

std::string Narrow(const std::wstring& w) {
  std::string out;
  for (wchar_t ch : w) out += ch < 0x80 ? Format("%c", (char)ch) : Format("\\u%04X", (unsigned)ch);
  return out;
}

void CheckStates(Step& step, HWND dlg, const char* when, bool runOn, bool closeOn) {
  bool gotRun = IsDlgButtonChecked(dlg, IDC_RUNON) == BST_CHECKED;
  bool gotClose = IsDlgButtonChecked(dlg, IDC_CLOSEON) == BST_CHECKED;
  step.Expect(gotRun == runOn, Format("%s: on box %s", when, gotRun ? "ticked" : "not ticked"));
  step.Expect(gotClose == closeOn, Format("%s: close box %s", when, gotClose ? "ticked" : "not ticked"));
  bool listOn = IsWindowEnabled(GetDlgItem(dlg, IDC_DRIVE));
  bool closeBoxOn = IsWindowEnabled(GetDlgItem(dlg, IDC_CLOSEON));
  step.Expect(listOn == gotRun && closeBoxOn == gotRun,
              Format("%s: list %s, close box %s while the on box is %s", when, listOn ? "enabled" : "greyed",
                     closeBoxOn ? "enabled" : "greyed", gotRun ? "ticked" : "not ticked"));
  step.Expect(IsWindowEnabled(GetDlgItem(dlg, IDC_DRIVE_LABEL)) != FALSE, Format("%s: label greyed", when));
}

void CheckOpened(Step& step, HWND dlg, const DialogCase& c) {
  step.Expect(Text(dlg) == kCaption, "caption \"" + Narrow(Text(dlg)) + "\"");
  HWND combo = GetDlgItem(dlg, IDC_DRIVE);
  std::vector<std::wstring> want = {kItemDefault, L"D:\\", L"E:\\", kItemAll};
  LRESULT count = SendMessageW(combo, CB_GETCOUNT, 0, 0);
  std::string items;
  bool same = count == static_cast<LRESULT>(want.size());
  for (LRESULT i = 0; i < count; ++i) {
    wchar_t buf[64] = L"";
    if (SendMessageW(combo, CB_GETLBTEXTLEN, i, 0) < 64) SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(buf));
    items += (i ? "," : "") + Narrow(buf);
    if (same && want[i] != buf) same = false;
  }
  step.Expect(same, "drive list [" + items + "]");
  LRESULT sel = SendMessageW(combo, CB_GETCURSEL, 0, 0);
  step.Expect(sel == c.selection, Format("selection %ld, expected %d", (long)sel, c.selection));
  CheckStates(step, dlg, "opened", c.runOn, c.closeOn);
}

// Returns false when the dialog did not end.
bool Act(Step& step, HWND dlg, const DialogCase& c, HANDLE thread) {
  bool runOn = c.runOn, closeOn = c.closeOn;
  for (const char* a = c.actions; *a; ++a) {
    int id = *a == 'r' ? IDC_RUNON : *a == 'c' ? IDC_CLOSEON : *a == 'O' ? IDOK : IDCANCEL;
    SendMessageW(GetDlgItem(dlg, id), BM_CLICK, 0, 0);
    if (*a == 'r') runOn = !runOn;
    if (*a == 'c') closeOn = !closeOn;
    if (id == IDC_RUNON || id == IDC_CLOSEON) CheckStates(step, dlg, Format("after click %d", (int)(a - c.actions) + 1).c_str(), runOn, closeOn);
  }
  return WaitForSingleObject(thread, 60000) == WAIT_OBJECT_0;
}

// Returns false when the dialog never ended (its thread is stuck: no further rows can run).
bool RunDialogCase(HMODULE m, const DialogCase& c) {
  Step step(c.id);
  SetIniFile(c.before);
  SetupCall call = {reinterpret_cast<const void*>(c.byOrdinal ? GetProcAddress(m, MAKEINTRESOURCEA(13))
                                                              : GetProcAddress(m, "BKC_OnPlugInSetup")),
                    {}};
  if (!step.Expect(call.fn != NULL, "BKC_OnPlugInSetup not exported")) return true;
  DWORD tid = 0;
  HANDLE thread = CreateThread(NULL, 0, SetupThread, &call, 0, &tid);
  HWND dlg = WaitForDialog(tid, thread);
  if (!dlg) {
    bool ended = WaitForSingleObject(thread, 0) == WAIT_OBJECT_0;
    step.Expect(false, ended ? "BKC_OnPlugInSetup returned without showing a dialog" : "no dialog within 60 s");
    CloseHandle(thread);
    return ended;
  }
  CheckOpened(step, dlg, c);
  if (c.screenshot && !g_paths.shot.empty()) {
    RECT r;
    GetWindowRect(dlg, &r);
    step.Expect(TakeScreenshot(r), "the launcher took no screenshot within 90 s");
  }
  if (!Act(step, dlg, c, thread)) {
    step.Expect(false, "dialog still open 60 s after the last click");
    PostMessageW(dlg, WM_COMMAND, IDCANCEL, 0);
    bool ended = WaitForSingleObject(thread, 10000) == WAIT_OBJECT_0;
    CloseHandle(thread);
    return ended;
  }
  CloseHandle(thread);
  step.Expect(call.result.ret == 1 && call.result.espDelta == 0 && call.result.savedRegsKept,
              Format("BKC_OnPlugInSetup returned %lu, ESP off by %ld", (unsigned long)call.result.ret,
                     (long)call.result.espDelta));
  std::string bytes;
  bool exists = ReadBytes(g_paths.ini, &bytes);
  if (c.after) {
    step.Expect(exists && bytes == c.after,
                "settings file \"" + (exists ? Escaped(bytes) : std::string("<none>")) + "\", expected \"" + Escaped(c.after) + "\"");
  } else {
    step.Expect(!exists, "a settings file appeared: \"" + Escaped(bytes) + "\"");
  }
  return true;
}

}  // namespace

void RunDialogSteps() {
  DWORD error = 0;
  HMODULE m = LoadPlugin(&error);
  if (!m) {
    ReportFail("dialog-load", Format("LoadLibrary failed with %lu", error));
    return;
  }
  for (const DialogCase& c : kDialogCases) {
    if (!RunDialogCase(m, c)) {
      ReportFail("dialog-rest", "a dialog did not end: the remaining dialog rows were not run");
      return;  // the plug-in stays loaded: its dialog thread may still run in it
    }
  }
  UnloadPlugin(m);
}
