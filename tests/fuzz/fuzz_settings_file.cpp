// Fuzz target: settings read from arbitrary settings-file bytes, through the new-mail
// callback and through the options dialog (its init, the user's changes, OK or
// Cancel). The expectations come from the values the platform's profile functions
// read from the same file:
// * the notifier moves no tray when "RunOn" reads as 0, else the default device, every
//   CD-ROM drive or one drive as "Drive" says, closing each tray first exactly when
//   "CloseOn" reads as 1; it never changes the file;
// * the dialog offers the default device, the CD-ROM drives and "all drives", selects
//   what "Drive" names, ticks its boxes as the values say and enables the other
//   controls with "RunOn";
// * OK stores exactly what the dialog shows; Cancel leaves the file's bytes alone.
// Input: one byte of choices (bit 0 OK, bit 1 click "RunOn", bit 2 click "CloseOn",
// bits 3-4 the machine's drives, bits 5-7 the drive the user picks, 0 for none),
// then the settings file's bytes.
#include <climits>
#include <cstdlib>
#include <string>
#include <vector>

#include "base/cp932_texts.h"
#include "fuzz_check.h"
#include "fuzz_plugin_host.h"
#include "plugin/callbacks.h"
#include "ui/resource.h"

namespace {

using Drives = std::vector<std::pair<std::string, UINT>>;

const Drives kMachines[] = {
    {{"C:\\", DRIVE_FIXED}, {"D:\\", DRIVE_CDROM}, {"E:\\", DRIVE_CDROM}},
    {},
    {{"C:\\", DRIVE_FIXED}, {"d:\\", DRIVE_CDROM}},
    {{"A:\\", DRIVE_REMOVABLE}, {"D:\\", DRIVE_CDROM}, {"F:\\", DRIVE_CDROM}, {"Z:\\", DRIVE_REMOTE}},
};

struct Choices {
  bool ok;
  bool clickRunOn;
  bool clickCloseOn;
  const Drives* drives;
  int pick;  // 0: keep the selection; else item (pick - 1) modulo the item count
};

// The values as the platform reads them; `present` when the read gave characters.
struct Setting {
  std::string text;
  bool present;
};

Setting Read(const char* key) {
  char buffer[MAX_PATH];
  const DWORD n = GetPrivateProfileStringA("Option", key, "", buffer, MAX_PATH, fuzz_support::SettingsPath().c_str());
  return {std::string(buffer), n > 0};
}

int AsNumber(const Setting& s, int fallback) {
  if (!s.present) return fallback;
  const long value = std::strtol(s.text.c_str(), nullptr, 10);
  return value > INT_MAX ? INT_MAX : value < INT_MIN ? INT_MIN : static_cast<int>(value);
}

std::vector<std::string> CdRoots(const Drives& drives) {
  std::vector<std::string> roots;
  for (const auto& drive : drives) {
    if (drive.second == DRIVE_CDROM) roots.push_back(drive.first);
  }
  return roots;
}

void CheckNotifier(const Drives& drives, const std::string& fileBefore) {
  const std::string drive = Read("Drive").text;
  const int runOn = AsNumber(Read("RunOn"), 1);
  const int closeOn = AsNumber(Read("CloseOn"), 0);

  std::vector<std::string> targets;  // "" is the default device
  if (runOn != 0) {
    if (lstrcmpA(drive.c_str(), kDriveDefault) == 0 || drive.empty()) {
      targets.push_back("");
    } else if (lstrcmpA(drive.c_str(), kDriveAll) == 0) {
      for (const std::string& root : CdRoots(drives)) targets.push_back(root.substr(0, 2));
    } else {
      targets.push_back(drive.substr(0, 2));
    }
  }
  std::vector<std::string> expected;
  for (const std::string& target : targets) {
    expected.push_back(target.empty() ? "open cdaudio 0x2002" : "open cdaudio " + target + " 0x2202");
    if (closeOn == 1) expected.push_back("door-closed 0x202");
    expected.push_back("door-open 0x102");
    expected.push_back("close 0x2");
  }

  FUZZ_CHECK(BKC_OnFinishRetrieve(1) == 0);
  FUZZ_CHECK(standin::MciLog() == expected);
  FUZZ_CHECK(fuzz_support::ReadFileBytes(fuzz_support::SettingsPath()) == fileBefore);
}

void CheckDialog(const Choices& choices, const std::string& fileBefore) {
  const std::string drive = Read("Drive").text;
  const int runOn = AsNumber(Read("RunOn"), 1);
  const int closeOn = AsNumber(Read("CloseOn"), 0);

  std::vector<std::string> items{kDriveDefault};
  int selection = 0;
  for (const std::string& root : CdRoots(*choices.drives)) {
    items.push_back(root);
    if (lstrcmpiA(root.c_str(), drive.c_str()) == 0) selection = static_cast<int>(items.size()) - 1;
  }
  items.push_back(kDriveAll);
  if (lstrcmpA(drive.c_str(), kDriveAll) == 0) selection = static_cast<int>(items.size()) - 1;

  bool played = false;
  std::string shownDrive;
  bool shownRunOn = false;
  bool shownCloseOn = false;
  standin::SetDialogUser([&](standin::Dialog& dialog) {
    played = true;
    standin::ControlState& combo = dialog.Control(IDC_DRIVE);
    FUZZ_CHECK(combo.items == items);
    FUZZ_CHECK(combo.selection == selection);
    FUZZ_CHECK((dialog.Control(IDC_RUNON).check == BST_CHECKED) == (runOn != 0));
    FUZZ_CHECK((dialog.Control(IDC_CLOSEON).check == BST_CHECKED) == (closeOn == 1));

    if (choices.clickRunOn) dialog.Click(IDC_RUNON);
    if (choices.clickCloseOn) dialog.Click(IDC_CLOSEON);
    if (choices.pick != 0) combo.selection = (choices.pick - 1) % static_cast<int>(items.size());
    shownRunOn = dialog.Control(IDC_RUNON).check == BST_CHECKED;
    shownCloseOn = dialog.Control(IDC_CLOSEON).check == BST_CHECKED;
    shownDrive = items[static_cast<size_t>(combo.selection)];
    FUZZ_CHECK(combo.enabled == shownRunOn);
    FUZZ_CHECK(dialog.Control(IDC_CLOSEON).enabled == shownRunOn);

    dialog.Click(choices.ok ? IDOK : IDCANCEL);
    FUZZ_CHECK(dialog.ended);
    FUZZ_CHECK(dialog.result == (choices.ok ? IDOK : IDCANCEL));
  });

  FUZZ_CHECK(BKC_OnPlugInSetup(nullptr) == 1);
  FUZZ_CHECK(played);
  if (!choices.ok) {
    FUZZ_CHECK(fuzz_support::ReadFileBytes(fuzz_support::SettingsPath()) == fileBefore);
    return;
  }
  FUZZ_CHECK(Read("Drive").text == shownDrive);
  FUZZ_CHECK(Read("RunOn").text == (shownRunOn ? "1" : "0"));
  FUZZ_CHECK(Read("CloseOn").text == (shownCloseOn ? "1" : "0"));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::uint8_t flags = size > 0 ? data[0] : 0;
  const Choices choices{(flags & 1) != 0, (flags & 2) != 0, (flags & 4) != 0, &kMachines[(flags >> 3) & 3],
                        flags >> 5};
  const std::string file = size > 0 ? std::string(reinterpret_cast<const char*>(data + 1), size - 1) : "";

  fuzz_support::LoadPlugin();
  fuzz_support::RegisterOptionDialog();
  standin::SetDrives(*choices.drives);
  fuzz_support::WriteFileBytes(fuzz_support::SettingsPath(), file);

  CheckNotifier(*choices.drives, file);
  CheckDialog(choices, file);
  FUZZ_CHECK(standin::LiveBlocks() == 0);
  return 0;
}
