// Module entry and callbacks: DllMain for every reason, the failed load,
// the settings path (file name's extension only, CP932-aware, nothing kept when the
// path was truncated or would not fit), and the fifteen callbacks.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "base/settings.h"
#include "base/tn_string.h"
#include "plugin/callbacks.h"
#include "plugin/ini_path.h"
#include "plugin/module_state.h"
#include "support/plugin_fixture.h"
#include "ui/resource.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved);

// QUINDLE_VENDOR and QUINDLE_HOMEPAGE come from the build, as for the DLL.

namespace {

using testing_support::PluginTest;

// Puts the plug-in back to "not yet loaded", as a fresh load would find it.
void Unload() {
  g_BeckyAPI.m_hHostModule = nullptr;
  g_szIniPath[0] = '\0';
  g_hInstance = nullptr;
}

// The stand-in's "IDD_OPTION", so that BKC_OnPlugInSetup can run its dialog.
void RegisterOptionTemplate() {
  using standin::ControlKind;
  standin::RegisterDialogTemplate(IDD_OPTION, {{IDC_RUNON, ControlKind::AutoCheckBox},
                                               {IDC_DRIVE_LABEL, ControlKind::Static},
                                               {IDC_DRIVE, ControlKind::DropDownList},
                                               {IDC_CLOSEON, ControlKind::AutoCheckBox},
                                               {IDOK, ControlKind::PushButton},
                                               {IDCANCEL, ControlKind::PushButton}});
}

class ModuleEntry : public PluginTest {};

// --- DllMain --------------------------------------------------------------------------

TEST_F(ModuleEntry, ProcessAttachBindsAndDerivesSettingsPath) {
  // The fixture attached the plug-in from <temp>/Quindle.dll.
  EXPECT_EQ(g_hInstance, plugin_);
  EXPECT_TRUE(g_BeckyAPI.IsBound());
  EXPECT_EQ(std::string(g_szIniPath), iniPath_);
  EXPECT_EQ(standin::GetProcAddressCalls(), 56);
  EXPECT_EQ(testing_support::HostGetVersionCalls(), 1);
}

TEST_F(ModuleEntry, ThreadAndDetachReasonsReturnOneAndChangeNothing) {
  const std::string path = g_szIniPath;
  const int lookups = standin::GetProcAddressCalls();
  // Were any of these reasons to derive the path again, it would change.
  standin::SetModuleFileName(plugin_, "C:\\Elsewhere\\Other.dll");
  for (DWORD reason : {DWORD{DLL_THREAD_ATTACH}, DWORD{DLL_THREAD_DETACH}, DWORD{DLL_PROCESS_DETACH}}) {
    SCOPED_TRACE("reason " + std::to_string(reason));
    EXPECT_EQ(DllMain(plugin_, reason, nullptr), TRUE);
    EXPECT_EQ(g_hInstance, plugin_);
    EXPECT_EQ(std::string(g_szIniPath), path);
    EXPECT_TRUE(g_BeckyAPI.IsBound());
    EXPECT_EQ(standin::GetProcAddressCalls(), lookups);
    EXPECT_EQ(testing_support::HostGetVersionCalls(), 1);
  }
  EXPECT_EQ(standin::AllocationCount(), 0);
  EXPECT_EQ(standin::ProfileReadCalls() + standin::ProfileWriteCalls(), 0);
  EXPECT_FALSE(SettingsFileExists());
}

TEST_F(ModuleEntry, EveryReasonStoresTheModuleHandle) {
  // Other reasons do nothing else, but the handle is stored whatever the reason.
  Unload();
  standin::SetModuleFileName(plugin_, dir_ + "/Quindle.dll");
  EXPECT_EQ(DllMain(plugin_, DLL_THREAD_ATTACH, nullptr), TRUE);
  EXPECT_EQ(g_hInstance, plugin_);
  EXPECT_FALSE(g_BeckyAPI.IsBound()) << "only process attach binds";
  EXPECT_STREQ(g_szIniPath, "") << "only process attach derives the settings path";
}

TEST_F(ModuleEntry, DetachOfAnUnboundModuleBindsNothing) {
  Unload();
  const int lookups = standin::GetProcAddressCalls();
  EXPECT_EQ(DllMain(plugin_, DLL_PROCESS_DETACH, nullptr), TRUE);
  EXPECT_FALSE(g_BeckyAPI.IsBound());
  EXPECT_STREQ(g_szIniPath, "");
  EXPECT_EQ(standin::GetProcAddressCalls(), lookups);
}

TEST_F(ModuleEntry, UnknownReasonReturnsOneAndDoesNothing) {
  const std::string path = g_szIniPath;
  EXPECT_EQ(DllMain(plugin_, 4, nullptr), TRUE);
  EXPECT_EQ(std::string(g_szIniPath), path);
  EXPECT_EQ(standin::GetProcAddressCalls(), 56);
}

TEST_F(ModuleEntry, FailedBindFailsTheLoadAndComputesNoPath) {
  Unload();
  standin::RemoveHostExport("BKA_Connect");
  const int lookups = standin::GetProcAddressCalls();
  // A module whose file name the stand-in does not know: asking for it would abort.
  HMODULE unknown = standin::FakeModule(7);
  EXPECT_EQ(DllMain(unknown, DLL_PROCESS_ATTACH, nullptr), FALSE);
  EXPECT_EQ(g_hInstance, unknown);
  EXPECT_FALSE(g_BeckyAPI.IsBound());
  EXPECT_STREQ(g_szIniPath, "");
  EXPECT_EQ(standin::GetProcAddressCalls() - lookups, 54);
}

TEST_F(ModuleEntry, VersionGateRefusalFailsTheLoad) {
  Unload();
  testing_support::SetHostVersion("2.00.06");
  standin::RemoveHostExport("BKA_SetStatus");
  EXPECT_FALSE(Attach(dir_ + "/Quindle.dll"));
  EXPECT_STREQ(g_szIniPath, "");
  EXPECT_FALSE(g_BeckyAPI.IsBound());
}

TEST_F(ModuleEntry, NoHostModuleFailsTheLoad) {
  Unload();
  standin::SetHostModule(nullptr);
  EXPECT_FALSE(Attach(dir_ + "/Quindle.dll"));
  EXPECT_STREQ(g_szIniPath, "");
}

TEST_F(ModuleEntry, AfterFailedLoadSettingsReadDefaultsAndWriteNothing) {
  Unload();
  standin::RemoveHostExport("BKA_GetVersion");
  ASSERT_FALSE(Attach(dir_ + "/Quindle.dll"));
  WriteSettingsFile("[Option]\r\nRunOn=0\r\n");
  int runOn = 5;
  EXPECT_EQ(ReadRunOn(runOn), 0);
  EXPECT_EQ(runOn, 1);
  EXPECT_EQ(WriteRunOn(0), FALSE);
  EXPECT_EQ(standin::ProfileReadCalls() + standin::ProfileWriteCalls(), 0);
}

// --- The settings path ----------------------------------------------------------------

struct PathCase {
  const char* id;
  const char* module;
  const char* ini;
};

const PathCase kPathCases[] = {
    {"folder_dot_file_without_extension", "C:\\Mail.data\\plugin", "C:\\Mail.data\\plugin.ini"},
    {"plain_dll", "C:\\Becky!\\PlugIns\\Quindle.dll", "C:\\Becky!\\PlugIns\\Quindle.ini"},
    {"bare_file_name", "Quindle.dll", "Quindle.ini"},
    {"no_dot_anywhere", "C:\\PlugIns\\Quindle", "C:\\PlugIns\\Quindle.ini"},
    {"two_dots_in_file_name", "C:\\a.b\\Quindle.old.dll", "C:\\a.b\\Quindle.old.ini"},
    {"dot_at_end", "C:\\PlugIns\\Quindle.", "C:\\PlugIns\\Quindle.ini"},
    {"long_extension", "C:\\PlugIns\\Quindle.plugin", "C:\\PlugIns\\Quindle.ini"},
    {"upper_case_extension", "C:\\PLUGINS\\QUINDLE.DLL", "C:\\PLUGINS\\QUINDLE.ini"},
    {"unc_path", "\\\\server\\share.x\\Quindle", "\\\\server\\share.x\\Quindle.ini"},
    {"drive_relative", "C:Quindle", "C:Quindle.ini"},
    {"forward_slashes", "C:/Mail.data/plugin", "C:/Mail.data/plugin.ini"},
    {"forward_slashes_dll", "C:/PlugIns/Quindle.dll", "C:/PlugIns/Quindle.ini"},
    {"mixed_slashes", "C:\\Mail.data/plugin", "C:\\Mail.data/plugin.ini"},
    // 表 is 95 5C and ソ is 83 5C: the trail byte 0x5C is no separator.
    {"cp932_5c_file_name_after_dot", "C:\\PlugIns\\Quindle.\x95\x5C", "C:\\PlugIns\\Quindle.ini"},
    {"cp932_5c_extension_ends_in_so", "D:\\x.\x83\x5C", "D:\\x.ini"},
    {"cp932_5c_file_name_before_dot", "C:\\PlugIns\\\x95\x5C.dll", "C:\\PlugIns\\\x95\x5C.ini"},
    {"cp932_so_fo_to_file_name", "C:\\\x83\x5C\x83\x74\x83\x67.dll", "C:\\\x83\x5C\x83\x74\x83\x67.ini"},
    {"cp932_5c_folder_after_dot", "C:\\Mail.\x95\x5C\\plugin", "C:\\Mail.\x95\x5C\\plugin.ini"},
    {"cp932_5c_folder_before_dot", "C:\\\x95\x5C.dir\\plugin", "C:\\\x95\x5C.dir\\plugin.ini"},
    {"cp932_5c_file_no_extension_in_dotted_folder", "C:\\Mail.data\\\x83\x5C", "C:\\Mail.data\\\x83\x5C.ini"},
    {"cp932_5c_then_dot_in_file_name", "C:\\Mail.data\\\x83\x5C.x.dll", "C:\\Mail.data\\\x83\x5C.x.ini"},
    {"cp932_half_width_kana", "C:\\\xB1\xB2.dll", "C:\\\xB1\xB2.ini"},
};

class SettingsPath : public PluginTest, public ::testing::WithParamInterface<PathCase> {};

TEST_P(SettingsPath, FromModuleFileName) {
  const PathCase& c = GetParam();
  Unload();
  ASSERT_TRUE(Attach(c.module)) << c.id;
  EXPECT_EQ(std::string(g_szIniPath), std::string(c.ini)) << c.id;
}

TEST_P(SettingsPath, MakeIniPathDirectly) {
  const PathCase& c = GetParam();
  char out[MAX_PATH];
  std::memset(out, 'Z', sizeof out);
  EXPECT_EQ(MakeIniPath(c.module, static_cast<DWORD>(std::strlen(c.module)), out, MAX_PATH), TRUE) << c.id;
  EXPECT_EQ(std::string(out), std::string(c.ini)) << c.id;
}

INSTANTIATE_TEST_SUITE_P(Paths, SettingsPath, ::testing::ValuesIn(kPathCases),
                         [](const ::testing::TestParamInfo<PathCase>& info) { return std::string(info.param.id); });

// A path of exactly `length` characters: C:\, one long folder name, then `tail`.
std::string PathOfLength(size_t length, const std::string& tail) {
  return "C:\\" + std::string(length - 4 - tail.size(), 'f') + "\\" + tail;
}

TEST_F(ModuleEntry, LongPathsAtTheLimit) {
  struct LongCase {
    const char* id;
    size_t length;
    const char* tail;
    bool kept;
  };
  const LongCase cases[] = {
      {"259_with_extension_fits", 259, "Quindle.dll", true},   // not truncated, .ini as long as .dll
      {"258_with_extension_fits", 258, "Quindle.dll", true},
      {"255_without_extension_fits", 255, "Quindle", true},    // 255 + 4 = 259
      {"256_without_extension_too_long", 256, "Quindle", false},
      {"259_without_extension_too_long", 259, "Quindle", false},
      {"257_short_extension_fits", 257, "Quindle.d", true},        // .d -> .ini: 259
      {"258_short_extension_too_long", 258, "Quindle.d", false},  // .d -> .ini: 260
      {"260_truncated", 260, "Quindle.dll", false},
      {"261_truncated", 261, "Quindle.dll", false},
      {"300_truncated", 300, "Quindle.dll", false},
  };
  for (const LongCase& c : cases) {
    SCOPED_TRACE(c.id);
    const std::string module = PathOfLength(c.length, c.tail);
    ASSERT_EQ(module.size(), c.length);
    Unload();
    EXPECT_TRUE(Attach(module)) << "a long path never fails the load";
    if (c.kept) {
      std::string expect = module.substr(0, module.rfind('\\') + 1) + "Quindle.ini";
      EXPECT_EQ(std::string(g_szIniPath), expect);
    } else {
      EXPECT_STREQ(g_szIniPath, "");
    }
  }
}

TEST_F(ModuleEntry, TruncatedPathWhoseCutNameWouldFitKeepsNoSettingsPath) {
  // The module's real file name "Quindle.<60 x>.dll" is cut inside its middle part:
  // the truncated text's last dot would give "...\\Quindle.ini", which fits but is
  // not this module's settings file.
  const std::string module = "C:\\" + std::string(200, 'f') + "\\Quindle." + std::string(60, 'x') + ".dll";
  ASSERT_GT(module.size(), 260u);
  Unload();
  EXPECT_TRUE(Attach(module));
  EXPECT_STREQ(g_szIniPath, "");
}

TEST_F(ModuleEntry, TruncatedModulePathKeepsNoSettingsAndWritesNothing) {
  // A real folder whose module path is longer than 259 characters; the settings file
  // a truncated path would name, and the one the full path names, both hold values.
  const std::string name(270 - dir_.size() - 1, 'q');
  const std::string module = dir_ + "/" + name.substr(0, name.size() - 4) + ".dll";
  ASSERT_EQ(module.size(), 270u);
  const std::string truncated = module.substr(0, MAX_PATH - 1);
  const std::string bait = "[Option]\r\nDrive=D:\\\r\nRunOn=0\r\nCloseOn=1\r\n";
  for (const std::string& path : {truncated, truncated + ".ini", truncated.substr(0, truncated.size() - 4) + ".ini"}) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr) << path;
    std::fwrite(bait.data(), 1, bait.size(), f);
    std::fclose(f);
  }
  const auto filesBefore = std::distance(std::filesystem::directory_iterator(dir_), {});

  Unload();
  ASSERT_TRUE(Attach(module));
  EXPECT_STREQ(g_szIniPath, "");

  TnString drive;
  drive.Assign("previous");
  int runOn = 7;
  int closeOn = 7;
  EXPECT_EQ(ReadDrive(drive), 0);
  EXPECT_STREQ(drive.GetText(), "");
  EXPECT_EQ(ReadRunOn(runOn), 0);
  EXPECT_EQ(runOn, 1);
  EXPECT_EQ(ReadCloseOn(closeOn), 0);
  EXPECT_EQ(closeOn, 0);

  WriteDrive("E:\\");
  WriteRunOn(1);
  WriteCloseOn(0);
  EXPECT_EQ(standin::ProfileReadCalls(), 0);
  EXPECT_EQ(standin::ProfileWriteCalls(), 0);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_), {}), filesBefore) << "no file may be created";
  std::FILE* f = std::fopen(truncated.c_str(), "rb");
  ASSERT_NE(f, nullptr);
  char back[128] = {};
  std::fread(back, 1, sizeof back - 1, f);
  std::fclose(f);
  EXPECT_EQ(std::string(back), bait) << "the truncated path's file must not be touched";
}

TEST_F(ModuleEntry, EmptyModulePathKeepsNoSettingsPath) {
  Unload();
  EXPECT_TRUE(Attach(""));
  EXPECT_STREQ(g_szIniPath, "");
}

TEST(MakeIniPath, RefusesWhatDoesNotFitAndLeavesOutputEmpty) {
  char out[16];
  // "abc.dll" (7): "abc.ini" needs 8 bytes.
  std::memset(out, 'Z', sizeof out);
  EXPECT_EQ(MakeIniPath("abc.dll", 7, out, 8), TRUE);
  EXPECT_STREQ(out, "abc.ini");
  std::memset(out, 'Z', sizeof out);
  EXPECT_EQ(MakeIniPath("abc.dll", 7, out, 7), FALSE) << "the module path itself filled the buffer";
  EXPECT_EQ(out[0], '\0');
  // "abcdef" (6): "abcdef.ini" needs 11 bytes.
  std::memset(out, 'Z', sizeof out);
  EXPECT_EQ(MakeIniPath("abcdef", 6, out, 11), TRUE);
  EXPECT_STREQ(out, "abcdef.ini");
  std::memset(out, 'Z', sizeof out);
  EXPECT_EQ(MakeIniPath("abcdef", 6, out, 10), FALSE);
  EXPECT_EQ(out[0], '\0');
  // Length 0 (GetModuleFileNameA failed) and length >= size (truncated).
  std::memset(out, 'Z', sizeof out);
  EXPECT_EQ(MakeIniPath("", 0, out, sizeof out), FALSE);
  EXPECT_EQ(out[0], '\0');
  std::memset(out, 'Z', sizeof out);
  EXPECT_EQ(MakeIniPath("abcdefghijklmno", 16, out, 16), FALSE);
  EXPECT_EQ(out[0], '\0');
  // No room at all: nothing written.
  std::memset(out, 'Z', sizeof out);
  EXPECT_EQ(MakeIniPath("a.dll", 5, out, 0), FALSE);
  EXPECT_EQ(out[0], 'Z');
}

TEST(MakeIniPath, LeadByteAtTheVeryEndIsNotOverrun) {
  // A stray lead byte as the path's last byte: the walk must stop at the length.
  char out[32];
  EXPECT_EQ(MakeIniPath("C:\\x.\x95", 6, out, sizeof out), TRUE);
  EXPECT_STREQ(out, "C:\\x.ini");
  EXPECT_EQ(MakeIniPath("C:\\x\x95", 5, out, sizeof out), TRUE);
  EXPECT_STREQ(out, "C:\\x\x95.ini");
}

TEST(MakeIniPath, UsesOnlyLengthCharacters) {
  char out[32];
  EXPECT_EQ(MakeIniPath("C:\\a.dll\\ignored.x", 8, out, sizeof out), TRUE);
  EXPECT_STREQ(out, "C:\\a.ini");
}

// --- Callbacks ------------------------------------------------------------------------

class Callbacks : public PluginTest {
 protected:
  void ExpectNoPlatformWork() {
    EXPECT_EQ(standin::ProfileReadCalls(), 0);
    EXPECT_EQ(standin::ProfileWriteCalls(), 0);
    EXPECT_TRUE(standin::MciCalls().empty());
    EXPECT_EQ(standin::DriveListCalls(), 0);
    EXPECT_EQ(standin::DialogBoxCalls(), 0);
    EXPECT_EQ(standin::AllocationCount(), 0);
    EXPECT_EQ(standin::GetProcAddressCalls(), 56);
    EXPECT_EQ(testing_support::HostGetVersionCalls(), 1);
  }
};

TEST_F(Callbacks, PlainCallbacksReturnZeroAndDoNothing) {
  HWND junkWindow = reinterpret_cast<HWND>(0x1234);
  LPCSTR text = "1234567\\Inbox\\";
  EXPECT_EQ(BKC_OnStart(), 0);
  EXPECT_EQ(BKC_OnExit(), 0);
  EXPECT_EQ(BKC_OnOpenFolder(text), 0);
  EXPECT_EQ(BKC_OnOpenFolder(nullptr), 0);
  EXPECT_EQ(BKC_OnOpenMail(text), 0);
  EXPECT_EQ(BKC_OnOpenMail(nullptr), 0);
  EXPECT_EQ(BKC_OnEveryMinute(), 0);
  EXPECT_EQ(BKC_OnOpenCompose(junkWindow, 1), 0);
  EXPECT_EQ(BKC_OnOpenCompose(nullptr, -1), 0);
  EXPECT_EQ(BKC_OnOutgoing(junkWindow, 0), 0);
  EXPECT_EQ(BKC_OnOutgoing(nullptr, INT_MIN), 0);
  EXPECT_EQ(BKC_OnKeyDispatch(junkWindow, 'A', 1), 0);
  EXPECT_EQ(BKC_OnKeyDispatch(nullptr, 0, 0), 0);
  EXPECT_EQ(BKC_OnRetrieve(text, "id"), 0);
  EXPECT_EQ(BKC_OnRetrieve(nullptr, nullptr), 0);
  EXPECT_EQ(BKC_OnSend(text), 0);
  EXPECT_EQ(BKC_OnSend(nullptr), 0);
  EXPECT_EQ(BKC_OnDragDrop(text, text, 3, 1), 0);
  EXPECT_EQ(BKC_OnDragDrop(nullptr, nullptr, -1, INT_MAX), 0);
  ExpectNoPlatformWork();
  EXPECT_FALSE(SettingsFileExists());
}

TEST_F(Callbacks, MenuInitReturnsZeroForEveryKind) {
  std::vector<int> kinds;
  for (int kind = -2; kind <= 14; ++kind) kinds.push_back(kind);
  kinds.push_back(INT_MIN);
  kinds.push_back(INT_MAX);
  for (int kind : kinds) {
    EXPECT_EQ(BKC_OnMenuInit(reinterpret_cast<HWND>(0x1234), reinterpret_cast<LPVOID>(0x5678), kind), 0)
        << "kind " << kind;
    EXPECT_EQ(BKC_OnMenuInit(nullptr, nullptr, kind), 0) << "kind " << kind;
  }
  ExpectNoPlatformWork();
}

TEST_F(Callbacks, FinishRetrieveReturnsZero) {
  EXPECT_EQ(BKC_OnFinishRetrieve(0), 0);
  EXPECT_EQ(BKC_OnFinishRetrieve(-1), 0);
  EXPECT_EQ(BKC_OnFinishRetrieve(INT_MIN), 0);
  ExpectNoPlatformWork();
  EXPECT_EQ(BKC_OnFinishRetrieve(3), 0);
  // New mail with no settings file: the default device's tray (open, door open, close).
  EXPECT_EQ(standin::MciLog().size(), 3u);
}

TEST_F(Callbacks, PlugInSetupReturnsOne) {
  RegisterOptionTemplate();
  standin::SetDrives({{"C:\\", DRIVE_FIXED}, {"D:\\", DRIVE_CDROM}});
  standin::SetDialogUser([](standin::Dialog& dialog) { dialog.Click(IDCANCEL); });
  EXPECT_EQ(BKC_OnPlugInSetup(nullptr), 1);
  EXPECT_EQ(standin::DialogBoxCalls(), 1);
  standin::SetDialogUser(nullptr);  // a dialog that never ends
  EXPECT_EQ(BKC_OnPlugInSetup(reinterpret_cast<HWND>(0)), 1);
  EXPECT_FALSE(SettingsFileExists()) << "cancel writes nothing";
}

TEST_F(Callbacks, FinishRetrieveSurvivesAllocationFailureAnywhere) {
  standin::SetDrives({{"C:\\", DRIVE_FIXED}, {"D:\\", DRIVE_CDROM}, {"E:\\", DRIVE_CDROM}});
  WriteSettingsFile("[Option]\r\nDrive=\x91\x53\x82\xC4\r\nRunOn=1\r\nCloseOn=1\r\n");
  // Count the allocations one notification makes, then fail each in turn.
  const int before = standin::AllocationCount();
  ASSERT_EQ(BKC_OnFinishRetrieve(3), 0);
  const int allocations = standin::AllocationCount() - before;
  ASSERT_GT(allocations, 0);
  for (int n = 1; n <= allocations; ++n) {
    SCOPED_TRACE("allocation " + std::to_string(n) + " fails");
    standin::FailAllocation(n);
    EXPECT_EQ(BKC_OnFinishRetrieve(3), 0);
    EXPECT_EQ(standin::LiveBlocks(), 0);
  }
  standin::FailAllocation(0);
}

TEST_F(Callbacks, PlugInSetupSurvivesAllocationFailureAnywhere) {
  RegisterOptionTemplate();
  standin::SetDrives({{"C:\\", DRIVE_FIXED}, {"D:\\", DRIVE_CDROM}, {"E:\\", DRIVE_CDROM}});
  WriteSettingsFile("[Option]\r\nDrive=E:\\\r\nRunOn=1\r\nCloseOn=0\r\n");
  standin::SetDialogUser([](standin::Dialog& dialog) { dialog.Click(IDOK); });
  const int before = standin::AllocationCount();
  ASSERT_EQ(BKC_OnPlugInSetup(nullptr), 1);
  const int allocations = standin::AllocationCount() - before;
  ASSERT_GT(allocations, 0);
  for (int n = 1; n <= allocations; ++n) {
    SCOPED_TRACE("allocation " + std::to_string(n) + " fails");
    standin::FailAllocation(n);
    EXPECT_EQ(BKC_OnPlugInSetup(nullptr), 1);
    EXPECT_EQ(standin::LiveBlocks(), 0);
  }
  standin::FailAllocation(0);
}

// --- BKC_OnPlugInInfo -------------------------------------------------------------------

// The description's start as code page 932 bytes, written out here on purpose rather
// than taken from the product's header: メール着信お知らせプラグイン LF （要CD-ROMドライブ） LF LF.
const unsigned char kDescriptionStart[] = {
    0x83, 0x81, 0x81, 0x5B, 0x83, 0x8B, 0x92, 0x85, 0x90, 0x4D, 0x82, 0xA8, 0x92, 0x6D, 0x82, 0xE7, 0x82, 0xB9,
    0x83, 0x76, 0x83, 0x89, 0x83, 0x4F, 0x83, 0x43, 0x83, 0x93, 0x0A, 0x81, 0x69, 0x97, 0x76, 0x43, 0x44, 0x2D,
    0x52, 0x4F, 0x4D, 0x83, 0x68, 0x83, 0x89, 0x83, 0x43, 0x83, 0x75, 0x81, 0x6A, 0x0A, 0x0A};

TEST_F(Callbacks, PlugInInfoWritesExactlyTheFourTexts) {
  constexpr size_t kRecord = 1024;
  constexpr unsigned char kFill = 0xCC;
  std::vector<unsigned char> record(kRecord, kFill);
  EXPECT_EQ(BKC_OnPlugInInfo(record.data()), 0);

  std::vector<unsigned char> expect(kRecord, kFill);
  auto put = [&](size_t offset, const std::vector<unsigned char>& bytes) {
    std::copy(bytes.begin(), bytes.end(), expect.begin() + static_cast<long>(offset));
  };
  auto text = [](const char* s) { return std::vector<unsigned char>(s, s + std::strlen(s) + 1); };
  put(0, text("Quindle (portwick for Becky!)"));
  put(80, text(QUINDLE_VENDOR));
  put(160, text("1.00"));
  std::vector<unsigned char> description(std::begin(kDescriptionStart), std::end(kDescriptionStart));
  const std::vector<unsigned char> homepage = text(QUINDLE_HOMEPAGE);
  description.insert(description.end(), homepage.begin(), homepage.end());
  put(240, description);

  for (size_t i = 0; i < kRecord; ++i) {
    ASSERT_EQ(record[i], expect[i]) << "byte " << i << " of the information record";
  }
  // Each text is whole and NUL-terminated inside its field.
  EXPECT_LT(std::strlen(QUINDLE_VENDOR), 80u);
  EXPECT_GT(std::strlen(QUINDLE_VENDOR), 0u);
  EXPECT_GT(std::strlen(QUINDLE_HOMEPAGE), 0u);
  ExpectNoPlatformWork();
}

TEST_F(Callbacks, PlugInInfoTwiceGivesTheSameRecord) {
  std::vector<unsigned char> a(512, 0x00), b(512, 0x00);
  EXPECT_EQ(BKC_OnPlugInInfo(a.data()), 0);
  EXPECT_EQ(BKC_OnPlugInInfo(b.data()), 0);
  EXPECT_EQ(a, b);
}

TEST_F(Callbacks, PlugInInfoWithNullRecordReturnsZero) {
  EXPECT_EQ(BKC_OnPlugInInfo(nullptr), 0);
  ExpectNoPlatformWork();
}

}  // namespace
