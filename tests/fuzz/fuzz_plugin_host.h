// The plug-in loaded the way a host loads it, for the fuzz targets that go through
// the callbacks: a fresh stand-in, a host exporting its whole table at version
// 2.10.00, and the module attached from a temporary folder so that its settings file
// is a real file there.
#pragma once

#include <string>

#include "standin/standin_control.h"

namespace fuzz_support {

// The temporary folder (under TMPDIR, else /tmp), made once per process and removed
// at exit.
const std::string& ScratchFolder();
// Resets the stand-in and attaches the plug-in as <ScratchFolder()>/Quindle.dll;
// aborts if the module refuses to load. The settings file is <ScratchFolder()>/Quindle.ini.
void LoadPlugin();
std::string SettingsPath();

// Registers the options dialog's template with its controls in template order.
void RegisterOptionDialog();

// Whole-file helpers for the settings file; ReadFileBytes gives "" for a missing file.
void WriteFileBytes(const std::string& path, const std::string& bytes);
std::string ReadFileBytes(const std::string& path);

}  // namespace fuzz_support
