// Fuzz target: the drive-list walks over arbitrary bytes.
// * ForEachDriveEntry over any text visits exactly the positions that start an
//   entry (the start, and each position after a space), once each, in order, and
//   reads nothing past the text's NUL.
// * With any table of drive roots and types: ListCdDrives lists the CD-ROM roots each
//   followed by a space, in order, up to the system's end of list; the options
//   dialog's drive list shows the default device, then the entries the notifier's
//   walk finds in that list, then "all drives", selected as the settings say; and
//   the notifier opens one tray per entry, named by the entry's first two characters.
// Input: the text for the first walk, then drive rows, each "type byte, root bytes",
// all separated by NUL bytes.
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "base/cp932_texts.h"
#include "fuzz_check.h"
#include "fuzz_plugin_host.h"
#include "notify/cd_drives.h"
#include "plugin/callbacks.h"
#include "ui/option_dialog.h"
#include "ui/resource.h"

namespace {

constexpr size_t kRootsBuffer = MAX_PATH;

std::vector<std::string> SplitAtNuls(const std::uint8_t* data, std::size_t size) {
  std::vector<std::string> parts(1);
  for (std::size_t i = 0; i < size; ++i) {
    if (data[i] == 0) {
      parts.emplace_back();
    } else {
      parts.back() += static_cast<char>(data[i]);
    }
  }
  return parts;
}

// The positions where an entry of `list` starts.
std::vector<size_t> EntryStarts(const std::string& list) {
  std::vector<size_t> starts;
  for (size_t i = 0; i < list.size(); ++i) {
    if (i == 0 || list[i - 1] == ' ') starts.push_back(i);
  }
  return starts;
}

std::string EntryText(const std::string& list, size_t start) {
  const size_t end = list.find(' ', start);
  return list.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

void CheckWalk(const std::string& text) {
  std::unique_ptr<char[]> exact(new char[text.size() + 1]);
  std::memcpy(exact.get(), text.c_str(), text.size() + 1);
  std::vector<size_t> visited;
  ForEachDriveEntry(exact.get(), [&](LPCSTR entry) { visited.push_back(static_cast<size_t>(entry - exact.get())); });
  FUZZ_CHECK(visited == EntryStarts(text));
}

// The CD-ROM drive list the system's answers call for.
std::string ExpectedCdList(const std::vector<std::pair<std::string, UINT>>& drives) {
  size_t answerSize = 1;  // the final NUL
  for (const auto& drive : drives) answerSize += drive.first.size() + 1;
  if (answerSize > kRootsBuffer) return "";  // the system asks for a bigger buffer
  std::string list;
  for (const auto& drive : drives) {
    if (drive.first.empty()) break;  // an empty root reads as the end of the list
    if (GetDriveTypeA(drive.first.c_str()) == DRIVE_CDROM) list += drive.first + ' ';
  }
  return list;
}

void CheckDialogList(const std::string& list) {
  fuzz_support::RegisterOptionDialog();
  standin::Dialog& dialog = standin::CreateDialog(IDD_OPTION, OptionDlgProc);
  FUZZ_CHECK(dialog.Send(WM_INITDIALOG, 0, 0) == TRUE);
  FUZZ_CHECK(!dialog.ended);

  std::vector<std::string> expected{kDriveDefault};
  for (size_t start : EntryStarts(list)) expected.push_back(EntryText(list, start));
  expected.push_back(kDriveAll);
  const standin::ControlState& combo = dialog.Control(IDC_DRIVE);
  FUZZ_CHECK(combo.items == expected);
  FUZZ_CHECK(combo.selection == static_cast<int>(expected.size()) - 1);  // the settings say "all"
}

void CheckTrays(const std::string& list) {
  const size_t before = standin::MciCalls().size();
  FUZZ_CHECK(BKC_OnFinishRetrieve(1) == 0);
  const std::vector<standin::MciCall>& calls = standin::MciCalls();
  const std::vector<size_t> starts = EntryStarts(list);
  FUZZ_CHECK(calls.size() - before == 3 * starts.size());
  for (size_t i = 0; i < starts.size(); ++i) {
    const standin::MciCall& open = calls[before + 3 * i];
    FUZZ_CHECK(open.message == MCI_OPEN && open.hasElement);
    FUZZ_CHECK(open.element == list.substr(starts[i], 2));
    FUZZ_CHECK(calls[before + 3 * i + 1].message == MCI_SET);
    FUZZ_CHECK(calls[before + 3 * i + 1].flags == (MCI_SET_DOOR_OPEN | MCI_WAIT));
    FUZZ_CHECK(calls[before + 3 * i + 2].message == MCI_CLOSE);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const bool settingsWritten = [] {
    fuzz_support::WriteFileBytes(fuzz_support::SettingsPath(), "[Option]\r\nDrive=" QUINDLE_TEXT_ALL "\r\n");
    return true;
  }();
  (void)settingsWritten;

  const std::vector<std::string> parts = SplitAtNuls(data, size);
  CheckWalk(parts[0]);

  std::vector<std::pair<std::string, UINT>> drives;
  for (size_t i = 1; i < parts.size(); ++i) {
    const std::string& row = parts[i];
    const UINT type = row.empty() ? DRIVE_CDROM : static_cast<UINT>(static_cast<unsigned char>(row[0]) % 8);
    drives.emplace_back(row.empty() ? "" : row.substr(1), type);
  }

  fuzz_support::LoadPlugin();
  standin::SetDrives(drives);
  const std::string expected = ExpectedCdList(drives);
  {
    TnString list;
    FUZZ_CHECK(ListCdDrives(list) == (expected.empty() ? 0 : 1));
    FUZZ_CHECK(std::string(list.GetText()) == expected);
    CheckWalk(list.GetText());
  }
  CheckDialogList(expected);
  CheckTrays(expected);
  FUZZ_CHECK(standin::LiveBlocks() == 0);
  return 0;
}
