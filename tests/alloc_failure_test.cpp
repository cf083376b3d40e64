// Allocation failure everywhere: each scenario (a notification for every drive, one
// drive or the default device, the options dialog's init, its OK, the info
// callback) first runs cleanly to count its allocations, then runs once more per
// allocation with exactly that one failing. Every run must still give the callback's
// normal answer with no exception leaving it, free everything it took, move no tray
// the clean run did not move, and leave each settings key either as it was or as
// the clean run wrote it.
#include <algorithm>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "base/cp932_texts.h"
#include "plugin/callbacks.h"
#include "support/plugin_fixture.h"
#include "ui/resource.h"

namespace {

using DriveTable = std::vector<std::pair<std::string, UINT>>;

enum class Action { Notify, SetupCancel, SetupOk, Info };

struct Scenario {
  const char* id;
  Action action;
  std::string settings;  // the settings file before the run
};

// Eight CD-ROM drives: their list outgrows its first storage, so a failure can strike
// while the list is half built.
const DriveTable kDrives = {
    {"C:\\", DRIVE_FIXED}, {"D:\\", DRIVE_CDROM}, {"E:\\", DRIVE_CDROM}, {"F:\\", DRIVE_CDROM},
    {"G:\\", DRIVE_CDROM}, {"H:\\", DRIVE_CDROM}, {"I:\\", DRIVE_CDROM}, {"J:\\", DRIVE_CDROM},
    {"K:\\", DRIVE_CDROM},
};
const char* const kKeys[] = {"Drive", "RunOn", "CloseOn"};
const char kMissing[] = "(missing)";
constexpr size_t kInfoRecordSize = 1024;

std::string Settings(const std::string& drive, const std::string& runOn, const std::string& closeOn) {
  return "[Option]\r\nDrive=" + drive + "\r\nRunOn=" + runOn + "\r\nCloseOn=" + closeOn + "\r\n";
}

const Scenario kScenarios[] = {
    {"notify_all_drives", Action::Notify, Settings(kDriveAll, "1", "1")},
    {"notify_one_drive", Action::Notify, Settings("E:\\", "1", "0")},
    {"notify_default_device", Action::Notify, Settings(kDriveDefault, "1", "0")},
    // "RunOn" 2 and the user's changes make OK rewrite every key.
    {"dialog_init", Action::SetupCancel, Settings("E:\\", "2", "0")},
    {"dialog_ok", Action::SetupOk, Settings("E:\\", "2", "0")},
    {"info", Action::Info, Settings("E:\\", "1", "0")},
};

// Names the scenario in gtest's messages instead of dumping its bytes.
void PrintTo(const Scenario& scenario, std::ostream* out) { *out << scenario.id; }

int NormalResult(Action action) {
  return action == Action::SetupCancel || action == Action::SetupOk ? 1 : 0;
}

// What one run of a scenario left behind.
struct Outcome {
  int result = -1;
  std::vector<std::string> trays;  // the MCI commands of this run
  std::string infoRecord;
};

class AllocationFailureTest : public testing_support::PluginTest,
                              public ::testing::WithParamInterface<Scenario> {
 protected:
  void SetUp() override {
    PluginTest::SetUp();
    testing_support::RegisterOptionDialogTemplate();
    standin::SetDrives(kDrives);
  }

  Outcome Run(Action action) {
    Outcome outcome;
    const size_t traysBefore = standin::MciLog().size();
    switch (action) {
      case Action::Notify:
        outcome.result = BKC_OnFinishRetrieve(2);
        break;
      case Action::SetupCancel:
        standin::SetDialogUser([](standin::Dialog& dialog) { dialog.Click(IDCANCEL); });
        outcome.result = BKC_OnPlugInSetup(nullptr);
        break;
      case Action::SetupOk:
        standin::SetDialogUser([](standin::Dialog& dialog) {
          dialog.Control(IDC_DRIVE).selection = 1;  // the user picks D:\ ...
          dialog.Click(IDC_CLOSEON);                // ... ticks "close first" ...
          dialog.Click(IDOK);                       // ... and confirms
        });
        outcome.result = BKC_OnPlugInSetup(nullptr);
        break;
      case Action::Info: {
        std::vector<char> record(kInfoRecordSize, '\x7F');
        outcome.result = BKC_OnPlugInInfo(record.data());
        outcome.infoRecord.assign(record.begin(), record.end());
        break;
      }
    }
    const std::vector<std::string> log = standin::MciLog();
    outcome.trays.assign(log.begin() + static_cast<std::ptrdiff_t>(traysBefore), log.end());
    return outcome;
  }

  std::string ReadKey(const char* key) {
    char value[MAX_PATH];
    GetPrivateProfileStringA("Option", key, kMissing, value, MAX_PATH, iniPath_.c_str());
    return value;
  }

  std::vector<std::string> ReadKeys() {
    std::vector<std::string> values;
    for (const char* key : kKeys) values.push_back(ReadKey(key));
    return values;
  }
};

bool IsPrefix(const std::vector<std::string>& part, const std::vector<std::string>& whole) {
  return part.size() <= whole.size() && std::equal(part.begin(), part.end(), whole.begin());
}

TEST_P(AllocationFailureTest, EveryFailingAllocationIsAbsorbed) {
  const Scenario& scenario = GetParam();
  WriteSettingsFile(scenario.settings);
  const std::vector<std::string> keysBefore = ReadKeys();

  const int start = standin::AllocationCount();
  const Outcome clean = Run(scenario.action);
  const int allocations = standin::AllocationCount() - start;
  RecordProperty("allocations", allocations);
  ASSERT_EQ(clean.result, NormalResult(scenario.action)) << scenario.id << ": clean run";
  ASSERT_EQ(standin::LiveBlocks(), 0) << scenario.id << ": clean run";
  if (scenario.action != Action::Info) {
    ASSERT_GT(allocations, 0) << scenario.id << ": the scenario reaches no allocation";
  }
  const std::string cleanFile = ReadSettingsFile();
  const std::vector<std::string> cleanKeys = ReadKeys();
  if (scenario.action == Action::SetupOk) {
    for (size_t i = 0; i < cleanKeys.size(); ++i) {
      ASSERT_NE(cleanKeys[i], keysBefore[i]) << scenario.id << ": OK should rewrite " << kKeys[i];
    }
  }

  // With no allocation to fail (the info callback), still arm one: nothing may change.
  for (int k = 1; k <= std::max(allocations, 1); ++k) {
    SCOPED_TRACE(std::string(scenario.id) + ": allocation " + std::to_string(k) + " of " +
                 std::to_string(allocations) + " fails");
    WriteSettingsFile(scenario.settings);
    const int runStart = standin::AllocationCount();
    standin::FailAllocation(k);
    Outcome outcome;
    EXPECT_NO_THROW(outcome = Run(scenario.action));
    const int attempted = standin::AllocationCount() - runStart;
    standin::FailAllocation(0);

    if (allocations > 0) {
      EXPECT_GE(attempted, k) << "the failing allocation was never reached";
    }
    EXPECT_EQ(outcome.result, NormalResult(scenario.action));
    EXPECT_EQ(standin::LiveBlocks(), 0) << "storage leaked";
    EXPECT_TRUE(IsPrefix(outcome.trays, clean.trays)) << "a tray command the clean run did not make";
    EXPECT_EQ(outcome.infoRecord, clean.infoRecord);

    const std::vector<std::string> keys = ReadKeys();
    for (size_t i = 0; i < keys.size(); ++i) {
      EXPECT_TRUE(keys[i] == keysBefore[i] || keys[i] == cleanKeys[i])
          << kKeys[i] << " is \"" << keys[i] << "\": neither as before nor as the clean run wrote it";
    }
    if (keys == keysBefore) {
      EXPECT_EQ(ReadSettingsFile(), scenario.settings) << "the file changed, its keys did not";
    }
    if (keys == cleanKeys) {
      EXPECT_EQ(ReadSettingsFile(), cleanFile) << "the file differs from the clean run's";
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Scenarios, AllocationFailureTest, ::testing::ValuesIn(kScenarios),
                         [](const ::testing::TestParamInfo<Scenario>& info) { return std::string(info.param.id); });

}  // namespace
