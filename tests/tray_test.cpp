// Moving one tray: the MCI commands EjectTray sends to the "cdaudio" device, their
// flags and open record, and what a failed open stops.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "notify/tray.h"
#include "standin/standin_control.h"

namespace {

using Log = std::vector<std::string>;

struct TrayRow {
  const char* id;
  const char* drive;
  int closeFirst;
  const char* failingOpen;  // element whose open fails, or nullptr for none
  int expectedResult;
  Log expectedLog;
};

// EjectTray needs no plug-in state: a fresh stand-in per case is enough.
class EjectTrayTest : public ::testing::Test {
 protected:
  void SetUp() override { standin::Reset(); }
};

TEST_F(EjectTrayTest, SendsTheCommandSequenceForEachRequest) {
  const std::vector<TrayRow> rows = {
      {"default-device", "", 0, nullptr, 1, {"open cdaudio 0x2002", "door-open 0x102", "close 0x2"}},
      {"root-gives-two-characters", "D:\\", 0, nullptr, 1,
       {"open cdaudio D: 0x2202", "door-open 0x102", "close 0x2"}},
      {"list-position-gives-its-entry", "E:\\ F:\\ ", 0, nullptr, 1,
       {"open cdaudio E: 0x2202", "door-open 0x102", "close 0x2"}},
      {"one-character-drive", "D", 0, nullptr, 1, {"open cdaudio D 0x2202", "door-open 0x102", "close 0x2"}},
      {"lower-case-kept", "d:\\", 0, nullptr, 1, {"open cdaudio d: 0x2202", "door-open 0x102", "close 0x2"}},
      {"close-first", "E:\\", 1, nullptr, 1,
       {"open cdaudio E: 0x2202", "door-closed 0x202", "door-open 0x102", "close 0x2"}},
      {"close-first-default-device", "", 1, nullptr, 1,
       {"open cdaudio 0x2002", "door-closed 0x202", "door-open 0x102", "close 0x2"}},
      {"close-first-2-is-not-1", "E:\\", 2, nullptr, 1, {"open cdaudio E: 0x2202", "door-open 0x102", "close 0x2"}},
      {"close-first-negative-is-not-1", "E:\\", -1, nullptr, 1,
       {"open cdaudio E: 0x2202", "door-open 0x102", "close 0x2"}},
      {"failed-open-sends-nothing-more", "D:\\", 1, "D:", 0, {"open cdaudio D: 0x2202"}},
      {"failed-default-open", "", 0, "", 0, {"open cdaudio 0x2002"}},
      {"other-drive-failing-does-not-matter", "D:\\", 0, "E:", 1,
       {"open cdaudio D: 0x2202", "door-open 0x102", "close 0x2"}},
  };
  for (const TrayRow& row : rows) {
    SCOPED_TRACE(row.id);
    standin::Reset();
    if (row.failingOpen) standin::FailMciOpen(row.failingOpen);

    EXPECT_EQ(EjectTray(row.drive, row.closeFirst), row.expectedResult) << row.id;
    EXPECT_EQ(standin::MciLog(), row.expectedLog) << row.id;
  }
}

TEST_F(EjectTrayTest, DoorAndCloseGoToTheDeviceTheOpenGaveWithoutARecord) {
  EXPECT_EQ(EjectTray("D:\\", 1), 1);
  EXPECT_EQ(EjectTray("E:\\", 0), 1);

  const std::vector<standin::MciCall>& calls = standin::MciCalls();
  ASSERT_EQ(calls.size(), 7u);
  // The stand-in hands out device ids 1, 2, ... in order of successful opens.
  const MCIDEVICEID expectedDevice[] = {0, 1, 1, 1, 0, 2, 2};
  for (size_t i = 0; i < calls.size(); ++i) {
    SCOPED_TRACE("call " + std::to_string(i));
    const bool isOpen = calls[i].message == MCI_OPEN;
    EXPECT_EQ(calls[i].device, expectedDevice[i]);
    EXPECT_EQ(calls[i].hasParams, isOpen);
    if (isOpen) {
      EXPECT_EQ(calls[i].deviceType, "cdaudio");
    }
  }
}

}  // namespace
