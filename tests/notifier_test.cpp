// The new-mail notifier end to end: from BKC_OnFinishRetrieve and the settings file
// to the MCI commands that move the trays, with what each notification costs.
#include <climits>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "base/cp932_texts.h"
#include "plugin/callbacks.h"
#include "support/plugin_fixture.h"

namespace {

using DriveTable = std::vector<std::pair<std::string, UINT>>;
using Log = std::vector<std::string>;

// The settings file as the plug-in writes it: section "Option" and the given lines.
std::string Settings(const std::vector<std::string>& lines) {
  std::string bytes = "[Option]\r\n";
  for (const std::string& line : lines) bytes += line + "\r\n";
  return bytes;
}

const std::string kDriveAllLine = std::string("Drive=") + kDriveAll;
const DriveTable kTwoCdDrives = {
    {"C:\\", DRIVE_FIXED}, {"D:\\", DRIVE_CDROM}, {"E:\\", DRIVE_CDROM}, {"Z:\\", DRIVE_REMOTE}};

Log Tray(const std::string& openLine, bool closeFirst = false) {
  Log log = {openLine};
  if (closeFirst) log.push_back("door-closed 0x202");
  log.push_back("door-open 0x102");
  log.push_back("close 0x2");
  return log;
}
Log Join(std::vector<Log> parts) {
  Log all;
  for (const Log& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

struct NotifyRow {
  const char* id;
  std::optional<std::string> settings;  // nullopt: no settings file
  DriveTable drives;
  std::vector<std::string> failingOpens;
  int count;
  Log expectedLog;
  int expectedProfileReads;
  int expectedDriveListings;
};

std::vector<NotifyRow> NotifyRows() {
  return {
      {"road-of-one-event: all drives, D: done before E:",
       Settings({kDriveAllLine, "RunOn=1", "CloseOn=0"}), kTwoCdDrives, {}, 3,
       Join({Tray("open cdaudio D: 0x2202"), Tray("open cdaudio E: 0x2202")}), 3, 1},
      {"no-file: default device", std::nullopt, kTwoCdDrives, {}, 1, Tray("open cdaudio 0x2002"), 3, 0},
      {"runon-0: reads RunOn only", Settings({kDriveAllLine, "RunOn=0", "CloseOn=1"}), kTwoCdDrives, {}, 5, {}, 1, 0},
      {"runon-not-a-number reads as 0", Settings({"RunOn=off", "Drive=D:\\"}), kTwoCdDrives, {}, 1, {}, 1, 0},
      {"runon-2 is on", Settings({"RunOn=2", "Drive=D:\\"}), kTwoCdDrives, {}, 1, Tray("open cdaudio D: 0x2202"), 3, 0},
      {"runon-empty is the default 1", Settings({"RunOn=", "Drive=D:\\"}), kTwoCdDrives, {}, 1,
       Tray("open cdaudio D: 0x2202"), 3, 0},
      {"default-keyword: default device", Settings({std::string("Drive=") + kDriveDefault}), kTwoCdDrives, {}, 1,
       Tray("open cdaudio 0x2002"), 3, 0},
      {"empty-drive: default device", Settings({"Drive="}), kTwoCdDrives, {}, 1, Tray("open cdaudio 0x2002"), 3, 0},
      {"one-drive", Settings({"Drive=E:\\"}), kTwoCdDrives, {}, 1, Tray("open cdaudio E: 0x2202"), 3, 0},
      {"closeon-1: default device closed first", Settings({"CloseOn=1"}), kTwoCdDrives, {}, 1,
       Tray("open cdaudio 0x2002", true), 3, 0},
      {"closeon-1: every drive closed first", Settings({kDriveAllLine, "CloseOn=1"}), kTwoCdDrives, {}, 2,
       Join({Tray("open cdaudio D: 0x2202", true), Tray("open cdaudio E: 0x2202", true)}), 3, 1},
      {"closeon-2 is not 1", Settings({"Drive=D:\\", "CloseOn=2"}), kTwoCdDrives, {}, 1,
       Tray("open cdaudio D: 0x2202"), 3, 0},
      {"lower-case root in the settings", Settings({"Drive=d:\\"}), kTwoCdDrives, {}, 1,
       Tray("open cdaudio d: 0x2202"), 3, 0},
      {"lower-case root from the system", Settings({kDriveAllLine}), {{"d:\\", DRIVE_CDROM}}, {}, 1,
       Tray("open cdaudio d: 0x2202"), 3, 1},
      // The keywords match exactly: a half-width "default" or a katakana "all" is a
      // drive name, whose first two bytes become the element.
      {"half-width default keyword is no keyword",
       Settings({"Drive=\xC3\xDE\xCC\xAB\xD9\xC4"}), kTwoCdDrives, {}, 1, Tray("open cdaudio \xC3\xDE 0x2202"), 3, 0},
      {"katakana all keyword is no keyword", Settings({"Drive=\x91\x53\x83\x65"}), kTwoCdDrives, {}, 1,
       Tray("open cdaudio \x91\x53 0x2202"), 3, 0},
      {"failing drive passed over, walk goes on", Settings({kDriveAllLine, "CloseOn=1"}),
       {{"D:\\", DRIVE_CDROM}, {"E:\\", DRIVE_CDROM}, {"F:\\", DRIVE_CDROM}}, {"E:"}, 1,
       Join({Tray("open cdaudio D: 0x2202", true), {"open cdaudio E: 0x2202"}, Tray("open cdaudio F: 0x2202", true)}),
       3, 1},
      {"failing first drive", Settings({kDriveAllLine}), kTwoCdDrives, {"D:"}, 1,
       Join({{"open cdaudio D: 0x2202"}, Tray("open cdaudio E: 0x2202")}), 3, 1},
      {"failing default device", std::nullopt, kTwoCdDrives, {""}, 1, {"open cdaudio 0x2002"}, 3, 0},
      {"no CD-ROM drive: nothing moves", Settings({kDriveAllLine}), {{"C:\\", DRIVE_FIXED}, {"Z:\\", DRIVE_REMOTE}},
       {}, 1, {}, 3, 1},
      {"count-0 touches nothing", Settings({kDriveAllLine}), kTwoCdDrives, {}, 0, {}, 0, 0},
      {"count-negative touches nothing", Settings({kDriveAllLine}), kTwoCdDrives, {}, -1, {}, 0, 0},
      {"count-minimum touches nothing", std::nullopt, kTwoCdDrives, {}, INT_MIN, {}, 0, 0},
  };
}

// Cost and completeness of one notification's MCI commands: each tray takes at most
// four commands, and a tray that opened is closed before the next one starts.
void ExpectEveryTrayFinished(const std::vector<standin::MciCall>& calls, const char* id) {
  for (size_t start = 0; start < calls.size();) {
    EXPECT_EQ(calls[start].message, static_cast<UINT>(MCI_OPEN)) << id << ": a tray starts with its open";
    size_t end = start + 1;
    while (end < calls.size() && calls[end].message != MCI_OPEN) ++end;
    EXPECT_LE(end - start, 4u) << id << ": commands for the tray opened by call " << start;
    if (end - start > 1) {
      EXPECT_EQ(calls[end - 1].message, static_cast<UINT>(MCI_CLOSE)) << id << ": tray opened by call " << start;
    }
    start = end;
  }
}

class NotifierTest : public testing_support::PluginTest {};

TEST_F(NotifierTest, MovesTheTraysTheSettingsName) {
  for (const NotifyRow& row : NotifyRows()) {
    SCOPED_TRACE(row.id);
    ReloadOnFreshPlatform();
    if (row.settings) {
      WriteSettingsFile(*row.settings);
    } else {
      RemoveSettingsFile();
    }
    standin::SetDrives(row.drives);
    for (const std::string& element : row.failingOpens) standin::FailMciOpen(element);

    EXPECT_EQ(BKC_OnFinishRetrieve(row.count), 0) << row.id;

    EXPECT_EQ(standin::MciLog(), row.expectedLog) << row.id;
    EXPECT_EQ(standin::ProfileReadCalls(), row.expectedProfileReads) << row.id;
    EXPECT_EQ(standin::DriveListCalls(), row.expectedDriveListings) << row.id;
    EXPECT_LE(standin::ProfileReadCalls(), 3) << row.id;
    EXPECT_EQ(standin::ProfileWriteCalls(), 0) << row.id;
    ExpectEveryTrayFinished(standin::MciCalls(), row.id);
    EXPECT_EQ(standin::LiveBlocks(), 0) << row.id;
  }
}

TEST_F(NotifierTest, SettingsAreReadAnewAtEveryNotification) {
  standin::SetDrives(kTwoCdDrives);
  WriteSettingsFile(Settings({"Drive=D:\\"}));
  BKC_OnFinishRetrieve(1);
  WriteSettingsFile(Settings({"Drive=E:\\", "CloseOn=1"}));
  BKC_OnFinishRetrieve(1);

  EXPECT_EQ(standin::MciLog(), Join({Tray("open cdaudio D: 0x2202"), Tray("open cdaudio E: 0x2202", true)}));
  EXPECT_EQ(standin::ProfileReadCalls(), 6);
}

// Walks every allocation of one notification, failing each in turn, until a run
// completes: the callback answers 0, nothing leaks, no tray is left half-moved, and
// the plug-in works normally afterwards.
TEST_F(NotifierTest, AllocationFailureIsContainedInTheCallback) {
  DriveTable manyDrives;
  for (char letter = 'D'; letter <= 'Y'; ++letter) manyDrives.push_back({std::string(1, letter) + ":\\", DRIVE_CDROM});
  standin::SetDrives(manyDrives);
  WriteSettingsFile(Settings({kDriveAllLine}));

  int failingAllocation = 1;
  for (; failingAllocation < 1000; ++failingAllocation) {
    SCOPED_TRACE("allocation " + std::to_string(failingAllocation) + " fails");
    const int allocationsBefore = standin::AllocationCount();
    const size_t callsBefore = standin::MciCalls().size();
    standin::FailAllocation(failingAllocation);
    EXPECT_EQ(BKC_OnFinishRetrieve(1), 0);
    standin::FailAllocation(0);
    EXPECT_EQ(standin::LiveBlocks(), 0);
    const std::vector<standin::MciCall> calls(standin::MciCalls().begin() + static_cast<long>(callsBefore),
                                              standin::MciCalls().end());
    ExpectEveryTrayFinished(calls, "after an allocation failure");
    if (standin::AllocationCount() - allocationsBefore < failingAllocation) {
      EXPECT_EQ(calls.size(), 3 * manyDrives.size()) << "the run without a failure moves every tray";
      break;
    }
  }
  EXPECT_GT(failingAllocation, 2) << "the notification should need several allocations with this many drives";
  EXPECT_LT(failingAllocation, 1000);
}

}  // namespace
