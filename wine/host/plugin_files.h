// Where the plug-in under test and its files live for this run, and small helpers to load it and
// to set up and read back files byte for byte.
#pragma once

#include <windows.h>

#include <string>

struct HostPaths {
  std::string plugin;  // full path of Quindle.dll in the plug-in folder
  std::string ini;     // the settings file the plug-in keeps beside itself
  std::string work;    // scratch folder for case files and the MCI log
  std::string mciLog;  // log file of the recording MCI driver
  std::string shot;    // when not empty: folder where the launcher takes screenshots on request
};
extern HostPaths g_paths;

void InitPaths(const std::string& plugin, const std::string& work, const std::string& shot);

// LoadLibraryA of the plug-in; on failure *error receives GetLastError().
HMODULE LoadPlugin(DWORD* error);
// FreeLibrary; true when the module is really gone from the process afterwards.
bool UnloadPlugin(HMODULE module);

bool ReadBytes(const std::string& path, std::string* out);  // false: no such file
bool WriteBytes(const std::string& path, const std::string& bytes);
void RemoveFileIfAny(const std::string& path);

// Puts the settings file into the given state (nullptr: no file). Drops the system's cached copy
// of the profile first so that the next profile call reads what is on disk.
void SetIniFile(const char* bytes);
