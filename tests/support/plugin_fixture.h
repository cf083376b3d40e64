// Test fixture: a fresh stand-in platform with a host that exports every service
// function at version 2.10.00, and the plug-in attached from a module file in a
// temporary folder of its own, so that its settings file is a real file there.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "standin/standin_control.h"

namespace testing_support {

// The host's BKA_GetVersion answers this text (changeable per test).
void SetHostVersion(const std::string& version);
// How many times the host's BKA_GetVersion was called since the last SetUp/Reset.
int HostGetVersionCalls();
void ResetHostGetVersionCalls();
// The address the host exports for `name` when ExportWholeHostTable set it up.
FARPROC HostExportFor(const std::string& name);
// Exports every service function of the host table into the stand-in.
void ExportWholeHostTable();
// Registers "IDD_OPTION" with the options dialog's controls in template order, so
// DialogBoxParamA and standin::CreateDialog can build the dialog.
void RegisterOptionDialogTemplate();

class PluginTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Attaches the plug-in module (DllMain with DLL_PROCESS_ATTACH); true if it loaded.
  bool Attach(const std::string& modulePath);
  // A fresh stand-in and a fresh load of the plug-in from the same folder, for tests
  // that run several cases in one body; the settings file is left as it is.
  void ReloadOnFreshPlatform();
  // Rewrites the settings file with these exact bytes, or removes it.
  void WriteSettingsFile(const std::string& bytes);
  void RemoveSettingsFile();
  std::string ReadSettingsFile();  // "" when missing
  bool SettingsFileExists();

  std::string dir_;      // the temporary folder
  std::string iniPath_;  // where the settings file is expected
  HMODULE plugin_ = standin::FakeModule(2);
};

}  // namespace testing_support
