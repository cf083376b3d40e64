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
