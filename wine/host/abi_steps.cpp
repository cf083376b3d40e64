// Calling convention for real: every export of the plug-in is called by name and by ordinal with
// its argument count; the stack pointer and the saved registers are checked around each call.
// Also reads the identity record back byte for byte.
#include "steps.h"

#include <windows.h>
#include <string.h>

#include "cp932_texts.h"
#include "plugin_files.h"
#include "report.h"
#include "stdcall_probe.h"

#ifndef QUINDLE_VENDOR
#define QUINDLE_VENDOR "Quindle"
#endif
#ifndef QUINDLE_HOMEPAGE
#define QUINDLE_HOMEPAGE "https://quindle.example/"
#endif

namespace {

struct ExportCase {
  const char* name;
  unsigned ordinal;
  unsigned argc;
  uint32_t ret;
};

// OnPlugInSetup (13) opens the dialog; it is called by name and ordinal in the dialog steps.
// OnFinishRetrieve gets a count of 0 here, which must do nothing.
const ExportCase kExports[] = {
    {"BKC_OnStart", 1, 0, 0},          {"BKC_OnExit", 2, 0, 0},
    {"BKC_OnMenuInit", 3, 3, 0},       {"BKC_OnOpenFolder", 4, 1, 0},
    {"BKC_OnOpenMail", 5, 1, 0},       {"BKC_OnEveryMinute", 6, 0, 0},
    {"BKC_OnOpenCompose", 7, 2, 0},    {"BKC_OnOutgoing", 8, 2, 0},
    {"BKC_OnKeyDispatch", 9, 3, 0},    {"BKC_OnRetrieve", 10, 2, 0},
    {"BKC_OnSend", 11, 1, 0},          {"BKC_OnFinishRetrieve", 12, 1, 0},
    {"BKC_OnPlugInInfo", 14, 1, 0},    {"BKC_OnDragDrop", 15, 4, 0},
};

uint8_t g_record[1024];

void CheckCall(Step& step, const char* how, const void* fn, unsigned argc, const uint32_t* args, uint32_t ret) {
  if (!step.Expect(fn != NULL, Format("%s: not exported", how))) return;
  ProbeResult r = CallProbed(fn, argc, args);
  step.Expect(r.espDelta == 0, Format("%s: ESP off by %ld after the call (callee removed %ld bytes, %u expected)",
                                      how, (long)r.espDelta, (long)(argc * 4 + r.espDelta), argc * 4));
  step.Expect(r.savedRegsKept, Format("%s: EBX/ESI/EDI/EBP not preserved", how));
  step.Expect(r.ret == ret, Format("%s: returned %lu, expected %lu", how, (unsigned long)r.ret, (unsigned long)ret));
}

std::string Field(size_t offset) {
  return std::string(reinterpret_cast<const char*>(g_record + offset), strnlen(reinterpret_cast<const char*>(g_record + offset), sizeof g_record - offset));
}

void CheckRecord(Step& step, const char* how) {
  struct { size_t offset; std::string text; } fields[] = {
      {0, "Quindle (portwick for Becky!)"},
      {80, QUINDLE_VENDOR},
      {160, "1.00"},
      {240, std::string(QT_DESCRIPTION_HEAD) + QUINDLE_HOMEPAGE},
  };
  size_t end = 0;
  for (auto& f : fields) {
    std::string got = Field(f.offset);
    step.Expect(got == f.text, Format("%s: text at %u is \"%s\", expected \"%s\"", how, (unsigned)f.offset,
                                      Escaped(got).c_str(), Escaped(f.text).c_str()));
    // Nothing written between this text's NUL and the next field (or anywhere after the last).
    size_t from = end;
    for (size_t i = from; i < f.offset; ++i) {
      if (!step.Expect(g_record[i] == 0xCC, Format("%s: byte %u written (0x%02X)", how, (unsigned)i, g_record[i]))) break;
    }
    end = f.offset + got.size() + 1;
  }
  for (size_t i = end; i < sizeof g_record; ++i) {
    if (!step.Expect(g_record[i] == 0xCC, Format("%s: byte %u after the description written", how, (unsigned)i))) break;
  }
}

}  // namespace

void RunAbiSteps() {
  DWORD error = 0;
  HMODULE m = LoadPlugin(&error);
  if (!m) {
    ReportFail("abi-load", Format("LoadLibrary failed with %lu", error));
    return;
  }
  SetIniFile(NULL);
  for (const ExportCase& e : kExports) {
    Step step(Format("abi-%s", e.name).c_str());
    uint32_t args[4] = {0, 0, 0, 0};
    if (e.ordinal == 14) args[0] = reinterpret_cast<uint32_t>(g_record);
    if (e.ordinal == 3) args[2] = 5;  // a menu kind
    memset(g_record, 0xCC, sizeof g_record);
    CheckCall(step, "by name", reinterpret_cast<const void*>(GetProcAddress(m, e.name)), e.argc, args, e.ret);
    if (e.ordinal == 14) CheckRecord(step, "by name");
    memset(g_record, 0xCC, sizeof g_record);
    CheckCall(step, "by ordinal", reinterpret_cast<const void*>(GetProcAddress(m, MAKEINTRESOURCEA(e.ordinal))),
              e.argc, args, e.ret);
    if (e.ordinal == 14) CheckRecord(step, "by ordinal");
    // The ordinal must lead to the same function as the name.
    step.Expect(GetProcAddress(m, e.name) == GetProcAddress(m, MAKEINTRESOURCEA(e.ordinal)),
                Format("ordinal %u is not %s", e.ordinal, e.name));
  }
  {
    Step step("abi-no-ordinal-16");
    step.Expect(GetProcAddress(m, MAKEINTRESOURCEA(16)) == NULL && GetProcAddress(m, MAKEINTRESOURCEA(0)) == NULL,
                "an export outside ordinals 1..15");
  }
  {
    // Every menu kind, including ones outside 0..12, answers 0 with a clean stack.
    Step step("abi-menu-kinds");
    const void* fn = reinterpret_cast<const void*>(GetProcAddress(m, "BKC_OnMenuInit"));
    const int32_t kinds[] = {0, 1, 6, 12, 13, -1, 0x7FFFFFFF};
    for (int32_t k : kinds) {
      uint32_t args[3] = {0x1234, 0x5678, static_cast<uint32_t>(k)};
      CheckCall(step, Format("kind %ld", (long)k).c_str(), fn, 3, args, 0);
    }
  }
  {
    Step step("abi-info-null-record");
    CheckCall(step, "OnPlugInInfo(NULL)", reinterpret_cast<const void*>(GetProcAddress(m, "BKC_OnPlugInInfo")), 1,
              (const uint32_t[]){0}, 0);
  }
  {
    // Calls with count 0 through the whole table must not have touched the settings file.
    Step step("abi-no-settings-written");
    std::string bytes;
    step.Expect(!ReadBytes(g_paths.ini, &bytes), "a settings file appeared: " + Escaped(bytes));
  }
  UnloadPlugin(m);
}
