// Plug-in location and file helpers of the test host (see plugin_files.h).
#include "plugin_files.h"

HostPaths g_paths;

void InitPaths(const std::string& plugin, const std::string& work, const std::string& shot) {
  g_paths.plugin = plugin;
  std::string::size_type dot = plugin.rfind('.');
  g_paths.ini = plugin.substr(0, dot) + ".ini";
  g_paths.work = work;
  g_paths.mciLog = work + "\\mci.log";
  g_paths.shot = shot;
}

HMODULE LoadPlugin(DWORD* error) {
  SetLastError(0);
  HMODULE m = LoadLibraryA(g_paths.plugin.c_str());
  if (error) *error = m ? 0 : GetLastError();
  return m;
}

bool UnloadPlugin(HMODULE module) {
  if (!module) return true;
  FreeLibrary(module);
  HMODULE still = NULL;
  return !GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT, g_paths.plugin.c_str(), &still);
}

bool ReadBytes(const std::string& path, std::string* out) {
  out->clear();
  HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, NULL);
  if (h == INVALID_HANDLE_VALUE) return false;
  char buf[4096];
  DWORD got = 0;
  while (ReadFile(h, buf, sizeof buf, &got, NULL) && got > 0) out->append(buf, got);
  CloseHandle(h);
  return true;
}

bool WriteBytes(const std::string& path, const std::string& bytes) {
  HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
  if (h == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  BOOL ok = WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, NULL);
  CloseHandle(h);
  return ok && written == bytes.size();
}

void RemoveFileIfAny(const std::string& path) { DeleteFileA(path.c_str()); }

void SetIniFile(const char* bytes) {
  // All three names NULL: "flush the cache" for this file.
  WritePrivateProfileStringA(NULL, NULL, NULL, g_paths.ini.c_str());
  RemoveFileIfAny(g_paths.ini);
  if (bytes) WriteBytes(g_paths.ini, bytes);
}
