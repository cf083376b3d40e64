// The plug-in fixture: stand-in reset, host exports, temporary module folder.
#include "support/plugin_fixture.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "host/becky_api_names.h"
#include "plugin/module_state.h"
#include "support/option_dialog_layout.h"
#include "ui/resource.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved);

namespace testing_support {
namespace {

std::string hostVersion = "2.10.00";
int hostGetVersionCalls = 0;

LPCSTR WINAPI HostGetVersion() {
  ++hostGetVersionCalls;
  return hostVersion.c_str();
}
INT_PTR WINAPI HostService() {
  ADD_FAILURE() << "the plug-in called a host service other than BKA_GetVersion";
  return 0;
}

}  // namespace

void SetHostVersion(const std::string& version) { hostVersion = version; }
int HostGetVersionCalls() { return hostGetVersionCalls; }
void ResetHostGetVersionCalls() { hostGetVersionCalls = 0; }

FARPROC HostExportFor(const std::string& name) {
  if (name == "BKA_GetVersion") return reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(&HostGetVersion));
  return reinterpret_cast<FARPROC>(&HostService);
}

void ExportWholeHostTable() {
#define QUINDLE_EXPORT(name, required) standin::SetHostExport(#name, reinterpret_cast<FARPROC>(&HostService));
  QUINDLE_BECKY_API(QUINDLE_EXPORT)
#undef QUINDLE_EXPORT
  standin::SetHostExport("BKA_GetVersion", reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(&HostGetVersion)));
}

void RegisterOptionDialogTemplate() {
  RegisterOptionDialogLayout();
}

void PluginTest::SetUp() {
  standin::Reset();
  hostVersion = "2.10.00";
  hostGetVersionCalls = 0;
  // The module-wide state is the DLL's; each test starts as a fresh load would.
  g_BeckyAPI.m_hHostModule = nullptr;
  g_szIniPath[0] = '\0';
  g_hInstance = nullptr;

  char pattern[] = "/tmp/quindle-test-XXXXXX";
  const char* made = mkdtemp(pattern);
  ASSERT_NE(made, nullptr);
  dir_ = made;
  iniPath_ = dir_ + "/Quindle.ini";
  standin::SetHostModule(standin::FakeModule(1));
  ExportWholeHostTable();
  ASSERT_TRUE(Attach(dir_ + "/Quindle.dll"));
}

void PluginTest::TearDown() {
  std::error_code ignored;
  std::filesystem::permissions(dir_, std::filesystem::perms::owner_all, ignored);
  std::filesystem::remove_all(dir_, ignored);
  EXPECT_EQ(standin::LiveBlocks(), 0) << "heap blocks leaked";
}

void PluginTest::ReloadOnFreshPlatform() {
  standin::Reset();
  hostVersion = "2.10.00";
  g_BeckyAPI.m_hHostModule = nullptr;
  g_szIniPath[0] = '\0';
  g_hInstance = nullptr;
  standin::SetHostModule(standin::FakeModule(1));
  ExportWholeHostTable();
  ASSERT_TRUE(Attach(dir_ + "/Quindle.dll"));
}

bool PluginTest::Attach(const std::string& modulePath) {
  standin::SetModuleFileName(plugin_, modulePath);
  return DllMain(plugin_, DLL_PROCESS_ATTACH, nullptr) == TRUE;
}

void PluginTest::WriteSettingsFile(const std::string& bytes) {
  std::ofstream out(iniPath_, std::ios::binary | std::ios::trunc);
  out << bytes;
}

void PluginTest::RemoveSettingsFile() { std::remove(iniPath_.c_str()); }

std::string PluginTest::ReadSettingsFile() {
  std::ifstream in(iniPath_, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

bool PluginTest::SettingsFileExists() { return std::filesystem::exists(iniPath_); }

}  // namespace testing_support
