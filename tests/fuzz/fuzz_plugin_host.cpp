// The fuzz targets' host: stand-in reset, host exports, module attach, scratch folder.
#include "fuzz_plugin_host.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "fuzz_check.h"
#include "host/becky_api_names.h"
#include "plugin/module_state.h"
#include "support/option_dialog_layout.h"
#include "ui/resource.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved);

namespace fuzz_support {
namespace {

LPCSTR WINAPI HostGetVersion() { return "2.10.00"; }
INT_PTR WINAPI HostService() {
  std::fprintf(stderr, "the plug-in called a host service other than BKA_GetVersion\n");
  std::abort();
}

void RemoveScratchFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(ScratchFolder(), ignored);
}

}  // namespace

const std::string& ScratchFolder() {
  // Never destroyed: the exit handler that removes the folder still needs its name.
  static const std::string* const folder = [] {
    // Under TMPDIR when set: every execution reads and writes the settings file
    // many times, so a memory file system there pays off.
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/quindle-fuzz-XXXXXX";
    const char* made = mkdtemp(pattern.data());
    FUZZ_CHECK(made != nullptr);
    std::atexit(RemoveScratchFolder);
    return new std::string(made);
  }();
  return *folder;
}

std::string SettingsPath() { return ScratchFolder() + "/Quindle.ini"; }

void LoadPlugin() {
  standin::Reset();
  g_BeckyAPI.m_hHostModule = nullptr;
  g_szIniPath[0] = '\0';
  g_hInstance = nullptr;

  const HMODULE plugin = standin::FakeModule(2);
  standin::SetHostModule(standin::FakeModule(1));
#define QUINDLE_EXPORT(name, required) standin::SetHostExport(#name, reinterpret_cast<FARPROC>(&HostService));
  QUINDLE_BECKY_API(QUINDLE_EXPORT)
#undef QUINDLE_EXPORT
  standin::SetHostExport("BKA_GetVersion", reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(&HostGetVersion)));
  standin::SetModuleFileName(plugin, ScratchFolder() + "/Quindle.dll");
  FUZZ_CHECK(DllMain(plugin, DLL_PROCESS_ATTACH, nullptr) == TRUE);
  FUZZ_CHECK(SettingsPath() == g_szIniPath);
}

void RegisterOptionDialog() {
  RegisterOptionDialogLayout();
}

void WriteFileBytes(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
  FUZZ_CHECK(out.good());
}

std::string ReadFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

}  // namespace fuzz_support
