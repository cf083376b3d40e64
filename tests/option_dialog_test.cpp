// The options dialog: what it shows for the saved settings, how the "on" box governs
// the other controls, what OK and Cancel leave in the settings file, the setup
// callback that runs it, and how a failure inside it ends it.
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "base/cp932_texts.h"
#include "plugin/callbacks.h"
#include "support/plugin_fixture.h"
#include "ui/option_dialog.h"
#include "ui/resource.h"

namespace {

using DriveTable = std::vector<std::pair<std::string, UINT>>;
using Items = std::vector<std::string>;
using standin::Dialog;

std::string Settings(const std::vector<std::string>& lines) {
  std::string bytes = "[Option]\r\n";
  for (const std::string& line : lines) bytes += line + "\r\n";
  return bytes;
}

const std::string kDefaultItem = kDriveDefault;
const std::string kAllItem = kDriveAll;
const DriveTable kTwoCdDrives = {{"C:\\", DRIVE_FIXED}, {"D:\\", DRIVE_CDROM}, {"E:\\", DRIVE_CDROM}};
const Items kTwoCdItems = {kDefaultItem, "D:\\", "E:\\", kAllItem};

WPARAM Command(int id, int notification = 0) {
  return static_cast<WPARAM>((static_cast<unsigned>(notification) << 16) | static_cast<unsigned>(id));
}

class OptionDialogTest : public testing_support::PluginTest {
 protected:
  void SetUp() override {
    PluginTest::SetUp();
    testing_support::RegisterOptionDialogTemplate();
    standin::SetDrives(kTwoCdDrives);
  }

  void UseSettings(const std::optional<std::string>& settings) {
    if (settings) {
      WriteSettingsFile(*settings);
    } else {
      RemoveSettingsFile();
    }
  }

  // A dialog made from the template and initialised as DialogBoxParamA would.
  Dialog& OpenDialog() {
    Dialog& dialog = standin::CreateDialog(IDD_OPTION, OptionDlgProc);
    EXPECT_EQ(dialog.Send(WM_INITDIALOG, 0, 0), TRUE);
    return dialog;
  }
};

// --- What the dialog shows --------------------------------------------------------

struct ShowRow {
  const char* id;
  std::optional<std::string> settings;
  DriveTable drives;
  Items expectedItems;
  int expectedSelection;
  bool runOnTicked;
  bool closeOnTicked;
};

TEST_F(OptionDialogTest, ShowsTheSavedSettings) {
  const DriveTable noCdDrive = {{"C:\\", DRIVE_FIXED}};
  const DriveTable lowerCaseCd = {{"c:\\", DRIVE_FIXED}, {"d:\\", DRIVE_CDROM}};
  const std::vector<ShowRow> rows = {
      {"no-file", std::nullopt, kTwoCdDrives, kTwoCdItems, 0, true, false},
      {"runon-0", Settings({"RunOn=0"}), kTwoCdDrives, kTwoCdItems, 0, false, false},
      {"runon-1", Settings({"RunOn=1"}), kTwoCdDrives, kTwoCdItems, 0, true, false},
      {"runon-2 ticks the box", Settings({"RunOn=2"}), kTwoCdDrives, kTwoCdItems, 0, true, false},
      {"runon-negative ticks the box", Settings({"RunOn=-1"}), kTwoCdDrives, kTwoCdItems, 0, true, false},
      {"runon-not-a-number is off", Settings({"RunOn=on"}), kTwoCdDrives, kTwoCdItems, 0, false, false},
      {"runon-empty is the default", Settings({"RunOn="}), kTwoCdDrives, kTwoCdItems, 0, true, false},
      {"closeon-1", Settings({"CloseOn=1"}), kTwoCdDrives, kTwoCdItems, 0, true, true},
      {"closeon-2 is not ticked", Settings({"CloseOn=2"}), kTwoCdDrives, kTwoCdItems, 0, true, false},
      {"saved-D", Settings({"Drive=D:\\"}), kTwoCdDrives, kTwoCdItems, 1, true, false},
      {"saved-lower-case-e selects E", Settings({"Drive=e:\\"}), kTwoCdDrives, kTwoCdItems, 2, true, false},
      {"saved-drive-gone selects default", Settings({"Drive=F:\\"}), kTwoCdDrives, kTwoCdItems, 0, true, false},
      {"saved-default", Settings({"Drive=" + kDefaultItem}), kTwoCdDrives, kTwoCdItems, 0, true, false},
      {"saved-all", Settings({"Drive=" + kAllItem}), kTwoCdDrives, kTwoCdItems, 3, true, false},
      {"saved-all-without-cd-drives", Settings({"Drive=" + kAllItem}), noCdDrive, {kDefaultItem, kAllItem}, 1, true,
       false},
      {"system-lower-case-root matches saved upper case", Settings({"Drive=D:\\"}), lowerCaseCd,
       {kDefaultItem, "d:\\", kAllItem}, 1, true, false},
      {"everything-saved", Settings({"Drive=E:\\", "RunOn=0", "CloseOn=1"}), kTwoCdDrives, kTwoCdItems, 2, false,
       true},
  };
  for (const ShowRow& row : rows) {
    SCOPED_TRACE(row.id);
    UseSettings(row.settings);
    standin::SetDrives(row.drives);
    Dialog& dialog = OpenDialog();

    const standin::ControlState& list = dialog.Control(IDC_DRIVE);
    EXPECT_EQ(list.items, row.expectedItems) << row.id;
    EXPECT_EQ(list.selection, row.expectedSelection) << row.id;
    EXPECT_EQ(dialog.Control(IDC_RUNON).check, row.runOnTicked ? BST_CHECKED : BST_UNCHECKED) << row.id;
    EXPECT_EQ(dialog.Control(IDC_CLOSEON).check, row.closeOnTicked ? BST_CHECKED : BST_UNCHECKED) << row.id;
    EXPECT_EQ(list.enabled, row.runOnTicked) << row.id;
    EXPECT_EQ(dialog.Control(IDC_CLOSEON).enabled, row.runOnTicked) << row.id;
    EXPECT_TRUE(dialog.Control(IDC_DRIVE_LABEL).enabled) << row.id;
    EXPECT_TRUE(dialog.enabled) << row.id;
    EXPECT_FALSE(dialog.ended) << row.id;
    EXPECT_EQ(standin::ProfileWriteCalls(), 0) << row.id;
  }
}

// --- The "on" box and the controls it governs ------------------------------------

TEST_F(OptionDialogTest, TheOnBoxGreysAndEnablesTheListAndCloseBoxAtOnce) {
  UseSettings(std::nullopt);
  Dialog& dialog = OpenDialog();
  ASSERT_EQ(dialog.Control(IDC_RUNON).check, static_cast<UINT>(BST_CHECKED));

  // Before each click the label is set against the way the others will go: a click
  // that touched it would give it their state.
  const bool expectedEnabled[] = {false, true, false, true};
  for (bool enabled : expectedEnabled) {
    SCOPED_TRACE(enabled ? "ticking" : "unticking");
    dialog.Control(IDC_DRIVE_LABEL).enabled = !enabled;
    EXPECT_EQ(dialog.Click(IDC_RUNON), TRUE);
    EXPECT_EQ(dialog.Control(IDC_RUNON).check, enabled ? BST_CHECKED : BST_UNCHECKED);
    EXPECT_EQ(dialog.Control(IDC_DRIVE).enabled, enabled);
    EXPECT_EQ(dialog.Control(IDC_CLOSEON).enabled, enabled);
    EXPECT_EQ(dialog.Control(IDC_DRIVE_LABEL).enabled, !enabled) << "the label was touched";
  }
  EXPECT_FALSE(dialog.ended);
  EXPECT_EQ(standin::ProfileWriteCalls(), 0);
}

TEST_F(OptionDialogTest, TheOnBoxIsFollowedWhateverItsNotificationCode) {
  UseSettings(Settings({"RunOn=0"}));
  Dialog& dialog = OpenDialog();
  ASSERT_FALSE(dialog.Control(IDC_DRIVE).enabled);

  dialog.Control(IDC_RUNON).check = BST_CHECKED;
  EXPECT_EQ(dialog.Send(WM_COMMAND, Command(IDC_RUNON, 6), 0), TRUE);  // BN_SETFOCUS
  EXPECT_TRUE(dialog.Control(IDC_DRIVE).enabled);
  EXPECT_TRUE(dialog.Control(IDC_CLOSEON).enabled);
}

// --- OK ----------------------------------------------------------------------------

struct SaveRow {
  const char* id;
  std::optional<std::string> settings;
  std::function<void(Dialog&)> userChanges;  // nullptr: OK with nothing changed
  std::string expectedFile;
  int expectedWrites;
};

TEST_F(OptionDialogTest, OkWritesWhatTheDialogShows) {
  const std::vector<SaveRow> rows = {
      {"untouched-without-file rewrites all three keys", std::nullopt, nullptr,
       Settings({"Drive=" + kDefaultItem, "RunOn=1", "CloseOn=0"}), 3},
      {"untouched-disabled-controls still written", Settings({"Drive=e:\\", "RunOn=0", "CloseOn=1"}), nullptr,
       Settings({"Drive=E:\\", "RunOn=0", "CloseOn=1"}), 3},
      {"untouched-runon-2 stays on", Settings({"RunOn=2"}), nullptr,
       Settings({"RunOn=1", "Drive=" + kDefaultItem, "CloseOn=0"}), 3},
      {"untouched-drive-gone becomes default", Settings({"Drive=F:\\", "RunOn=1", "CloseOn=0"}), nullptr,
       Settings({"Drive=" + kDefaultItem, "RunOn=1", "CloseOn=0"}), 3},
      {"untouched-all kept", Settings({"Drive=" + kAllItem, "RunOn=1", "CloseOn=1"}), nullptr,
       Settings({"Drive=" + kAllItem, "RunOn=1", "CloseOn=1"}), 3},
      {"user-changes-everything", std::nullopt,
       [](Dialog& dialog) {
         dialog.Click(IDC_CLOSEON);
         dialog.Control(IDC_DRIVE).selection = 2;
         dialog.Send(WM_COMMAND, Command(IDC_DRIVE, 1), 0);  // CBN_SELCHANGE
         dialog.Click(IDC_RUNON);
       },
       Settings({"Drive=E:\\", "RunOn=0", "CloseOn=1"}), 3},
      {"user-turns-it-back-on", Settings({"Drive=D:\\", "RunOn=0", "CloseOn=0"}),
       [](Dialog& dialog) {
         dialog.Click(IDC_RUNON);
         dialog.Control(IDC_DRIVE).selection = 3;
       },
       Settings({"Drive=" + kAllItem, "RunOn=1", "CloseOn=0"}), 3},
      {"no-selection leaves Drive alone", Settings({"Drive=D:\\", "RunOn=0", "CloseOn=0"}),
       [](Dialog& dialog) { dialog.Control(IDC_DRIVE).selection = CB_ERR; },
       Settings({"Drive=D:\\", "RunOn=0", "CloseOn=0"}), 2},
  };
  for (const SaveRow& row : rows) {
    SCOPED_TRACE(row.id);
    UseSettings(row.settings);
    Dialog& dialog = OpenDialog();
    if (row.userChanges) row.userChanges(dialog);
    const int writesBefore = standin::ProfileWriteCalls();

    EXPECT_EQ(dialog.Click(IDOK), TRUE) << row.id;

    EXPECT_TRUE(dialog.ended) << row.id;
    EXPECT_EQ(dialog.result, IDOK) << row.id;
    EXPECT_TRUE(dialog.enabled) << row.id << ": the dialog window is enabled again";
    EXPECT_EQ(ReadSettingsFile(), row.expectedFile) << row.id;
    EXPECT_EQ(standin::ProfileWriteCalls() - writesBefore, row.expectedWrites) << row.id;
  }
}

TEST_F(OptionDialogTest, TheCommandIsTheLowWordOfWParam) {
  UseSettings(std::nullopt);
  Dialog& dialog = OpenDialog();
  EXPECT_EQ(dialog.Send(WM_COMMAND, Command(IDOK, 1), 0), TRUE);  // from an accelerator
  EXPECT_TRUE(dialog.ended);
  EXPECT_EQ(dialog.result, IDOK);
  EXPECT_TRUE(SettingsFileExists());
}

// --- Cancel ------------------------------------------------------------------------

TEST_F(OptionDialogTest, CancelWritesNothing) {
  const std::vector<std::pair<const char*, std::optional<std::string>>> rows = {
      {"without-file", std::nullopt},
      {"with-file", Settings({"Drive=D:\\", "RunOn=2", "CloseOn=0"})},
  };
  for (const auto& [id, settings] : rows) {
    SCOPED_TRACE(id);
    UseSettings(settings);
    Dialog& dialog = OpenDialog();
    dialog.Click(IDC_CLOSEON);
    dialog.Control(IDC_DRIVE).selection = 3;
    dialog.Click(IDC_RUNON);

    EXPECT_EQ(dialog.Click(IDCANCEL), TRUE) << id;

    EXPECT_TRUE(dialog.ended) << id;
    EXPECT_EQ(dialog.result, IDCANCEL) << id;
    EXPECT_EQ(standin::ProfileWriteCalls(), 0) << id;
    EXPECT_EQ(SettingsFileExists(), settings.has_value()) << id;
    EXPECT_EQ(ReadSettingsFile(), settings.value_or("")) << id;
  }
}

// --- Messages the procedure leaves alone --------------------------------------------

TEST_F(OptionDialogTest, OtherMessagesAreNotHandled) {
  const std::pair<const char*, UINT> messages[] = {
      {"WM_NULL", 0x0000},       {"WM_DESTROY", 0x0002},     {"WM_CLOSE", 0x0010},
      {"WM_SETFONT", 0x0030},    {"WM_NOTIFY", 0x004E},      {"WM_TIMER", 0x0113},
      {"WM_CTLCOLORDLG", 0x0136}, {"WM_USER", 0x0400},
  };
  UseSettings(std::nullopt);
  Dialog& dialog = OpenDialog();
  for (const auto& [name, message] : messages) {
    SCOPED_TRACE(name);
    EXPECT_EQ(dialog.Send(message, Command(IDOK), 0), FALSE) << name;
    EXPECT_FALSE(dialog.ended) << name;
  }
  EXPECT_EQ(standin::ProfileWriteCalls(), 0);
}

TEST_F(OptionDialogTest, OtherCommandsAreAcceptedAndChangeNothing) {
  const std::pair<const char*, WPARAM> commands[] = {
      {"list selection change", Command(IDC_DRIVE, 1)},
      {"list drop-down", Command(IDC_DRIVE, 7)},
      {"close box", Command(IDC_CLOSEON)},
      {"label", Command(IDC_DRIVE_LABEL)},
      {"id 0", Command(0)},
      {"IDABORT", Command(3)},
      {"unknown id", Command(9999)},
  };
  UseSettings(Settings({"RunOn=0"}));
  Dialog& dialog = OpenDialog();
  for (const auto& [name, wParam] : commands) {
    SCOPED_TRACE(name);
    EXPECT_EQ(dialog.Send(WM_COMMAND, wParam, 0), TRUE) << name;
    EXPECT_FALSE(dialog.ended) << name;
    EXPECT_FALSE(dialog.Control(IDC_DRIVE).enabled) << name;
    EXPECT_FALSE(dialog.Control(IDC_CLOSEON).enabled) << name;
  }
  EXPECT_EQ(standin::ProfileWriteCalls(), 0);
}

// --- The setup callback --------------------------------------------------------------

TEST_F(OptionDialogTest, SetupRunsTheDialogAndTheNotifierFollowsIt) {
  UseSettings(Settings({"Drive=e:\\", "RunOn=2"}));
  Dialog* shown = nullptr;
  standin::SetDialogUser([&shown](Dialog& dialog) {
    shown = &dialog;
    EXPECT_EQ(dialog.Control(IDC_DRIVE).selection, 2) << "initialised before the user sees it";
    dialog.Click(IDC_CLOSEON);
    dialog.Click(IDOK);
  });

  EXPECT_EQ(BKC_OnPlugInSetup(nullptr), 1);

  EXPECT_EQ(standin::DialogBoxCalls(), 1);
  ASSERT_NE(shown, nullptr);
  EXPECT_EQ(shown->result, IDOK);
  EXPECT_EQ(ReadSettingsFile(), Settings({"Drive=E:\\", "RunOn=1", "CloseOn=1"}));

  EXPECT_EQ(BKC_OnFinishRetrieve(1), 0);
  EXPECT_EQ(standin::MciLog(),
            (std::vector<std::string>{"open cdaudio E: 0x2202", "door-closed 0x202", "door-open 0x102", "close 0x2"}));
}

TEST_F(OptionDialogTest, SetupAnswersOneWhateverTheOutcome) {
  const std::vector<std::pair<const char*, std::function<void(Dialog&)>>> users = {
      {"cancelled", [](Dialog& dialog) { dialog.Click(IDCANCEL); }},
      {"never ended", [](Dialog&) {}},
  };
  UseSettings(std::nullopt);
  for (const auto& [id, user] : users) {
    SCOPED_TRACE(id);
    standin::SetDialogUser(user);
    EXPECT_EQ(BKC_OnPlugInSetup(nullptr), 1) << id;
  }
  EXPECT_EQ(standin::DialogBoxCalls(), 2);
  EXPECT_EQ(standin::ProfileWriteCalls(), 0);
  EXPECT_FALSE(SettingsFileExists());
}

// --- Failures inside the dialog ------------------------------------------------------
// Each test fails every allocation of one step in turn until a run gets through; a
// failing run must end the dialog as cancelled, write nothing and leak nothing.

TEST_F(OptionDialogTest, AllocationFailureWhileOpeningEndsTheDialogAsCancelled) {
  const std::string saved = Settings({"Drive=e:\\", "RunOn=1", "CloseOn=1"});
  UseSettings(saved);
  int failingAllocation = 1;
  for (; failingAllocation < 1000; ++failingAllocation) {
    SCOPED_TRACE("allocation " + std::to_string(failingAllocation) + " fails");
    const int allocationsBefore = standin::AllocationCount();
    bool userSawTheDialog = false;
    standin::SetDialogUser([&userSawTheDialog](Dialog& dialog) {
      userSawTheDialog = true;
      dialog.Click(IDCANCEL);
    });
    standin::FailAllocation(failingAllocation);
    EXPECT_EQ(BKC_OnPlugInSetup(nullptr), 1);
    standin::FailAllocation(0);
    EXPECT_EQ(standin::LiveBlocks(), 0);
    if (standin::AllocationCount() - allocationsBefore < failingAllocation) {
      EXPECT_TRUE(userSawTheDialog) << "the run without a failure shows the dialog";
      break;
    }
    EXPECT_FALSE(userSawTheDialog) << "the dialog ended while opening";
    EXPECT_EQ(standin::ProfileWriteCalls(), 0);
    EXPECT_EQ(ReadSettingsFile(), saved);

    Dialog& dialog = standin::CreateDialog(IDD_OPTION, OptionDlgProc);
    standin::FailAllocation(failingAllocation);
    EXPECT_EQ(dialog.Send(WM_INITDIALOG, 0, 0), TRUE);
    standin::FailAllocation(0);
    EXPECT_TRUE(dialog.ended);
    EXPECT_EQ(dialog.result, IDCANCEL);
    EXPECT_EQ(standin::LiveBlocks(), 0);
  }
  EXPECT_GT(failingAllocation, 2) << "opening the dialog should need several allocations";
  EXPECT_LT(failingAllocation, 1000);
}

TEST_F(OptionDialogTest, AllocationFailureOnOkEndsTheDialogAsCancelled) {
  const std::string saved = Settings({"Drive=D:\\", "RunOn=0", "CloseOn=0"});
  UseSettings(saved);
  int failingAllocation = 1;
  for (; failingAllocation < 1000; ++failingAllocation) {
    SCOPED_TRACE("allocation " + std::to_string(failingAllocation) + " fails");
    Dialog& dialog = OpenDialog();
    dialog.Click(IDC_RUNON);
    dialog.Control(IDC_DRIVE).selection = 3;
    const int allocationsBefore = standin::AllocationCount();

    standin::FailAllocation(failingAllocation);
    EXPECT_EQ(dialog.Click(IDOK), TRUE);
    standin::FailAllocation(0);

    EXPECT_TRUE(dialog.ended);
    EXPECT_EQ(standin::LiveBlocks(), 0);
    if (standin::AllocationCount() - allocationsBefore < failingAllocation) {
      EXPECT_EQ(dialog.result, IDOK);
      EXPECT_EQ(ReadSettingsFile(), Settings({"Drive=" + kAllItem, "RunOn=1", "CloseOn=0"}));
      break;
    }
    EXPECT_EQ(dialog.result, IDCANCEL);
    EXPECT_TRUE(dialog.enabled) << "the dialog window is enabled again";
    EXPECT_EQ(standin::ProfileWriteCalls(), 0);
    EXPECT_EQ(ReadSettingsFile(), saved);
  }
  EXPECT_GT(failingAllocation, 1) << "OK should need an allocation";
  EXPECT_LT(failingAllocation, 1000);
}

}  // namespace
