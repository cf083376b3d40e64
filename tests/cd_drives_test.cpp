// Finding the CD-ROM drives: the drive list ListCdDrives builds from the system's
// drive table, and the walk over a drive list that its readers share.
#include <string>
#include <utility>
#include <vector>

#include "base/cp932_texts.h"
#include "notify/cd_drives.h"
#include "support/plugin_fixture.h"

namespace {

using DriveTable = std::vector<std::pair<std::string, UINT>>;

struct ListRow {
  const char* id;
  DriveTable drives;
  std::string previous;  // content of the output text before the call
  std::string expectedList;
  int expectedResult;
};

// `count` roots of the form "X:\" (letters repeat: the system table only has to be
// long), all of them CD-ROM drives.
DriveTable ManyCdRoots(int count) {
  DriveTable drives;
  for (int i = 0; i < count; ++i) drives.push_back({std::string(1, static_cast<char>('A' + i % 26)) + ":\\", DRIVE_CDROM});
  return drives;
}

std::string ListOf(const DriveTable& drives) {
  std::string list;
  for (const auto& drive : drives) list += drive.first + " ";
  return list;
}

std::vector<ListRow> ListRows() {
  // 64 roots of four bytes and one of three, with the final NUL: exactly 260 bytes.
  DriveTable fitsExactly = ManyCdRoots(64);
  fitsExactly.push_back({"Q:", DRIVE_CDROM});
  return {
      {"cd-among-fixed-and-remote",
       {{"C:\\", DRIVE_FIXED}, {"D:\\", DRIVE_CDROM}, {"F:\\", DRIVE_CDROM}, {"Z:\\", DRIVE_REMOTE}},
       "",
       "D:\\ F:\\ ",
       1},
      {"no-cd-drive", {{"C:\\", DRIVE_FIXED}, {"Z:\\", DRIVE_REMOTE}}, "", "", 0},
      {"no-drive-at-all", {}, "", "", 0},
      {"previous-content-replaced", {{"D:\\", DRIVE_CDROM}}, kDriveAll, "D:\\ ", 1},
      {"previous-content-emptied", {{"C:\\", DRIVE_FIXED}}, kDriveAll, "", 0},
      {"lower-case-root-kept", {{"c:\\", DRIVE_FIXED}, {"d:\\", DRIVE_CDROM}}, "", "d:\\ ", 1},
      {"system-order-kept", {{"E:\\", DRIVE_CDROM}, {"D:\\", DRIVE_CDROM}}, "", "E:\\ D:\\ ", 1},
      {"every-other-type-passed-over",
       {{"A:\\", DRIVE_UNKNOWN},
        {"B:\\", DRIVE_NO_ROOT_DIR},
        {"C:\\", DRIVE_REMOVABLE},
        {"D:\\", DRIVE_FIXED},
        {"E:\\", DRIVE_REMOTE},
        {"F:\\", DRIVE_RAMDISK},
        {"G:\\", 7},
        {"H:\\", 0xFFFFFFFFu},
        {"K:\\", DRIVE_CDROM}},
       "",
       "K:\\ ",
       1},
      {"roots-fill-the-buffer-exactly", fitsExactly, "", ListOf(fitsExactly), 1},
      {"roots-too-many-for-the-buffer", ManyCdRoots(65), kDriveAll, "", 0},
  };
}

class ListCdDrivesTest : public testing_support::PluginTest {};

TEST_F(ListCdDrivesTest, BuildsTheDriveListFromTheSystemTable) {
  for (const ListRow& row : ListRows()) {
    SCOPED_TRACE(row.id);
    standin::SetDrives(row.drives);
    TnString list;
    list.Assign(row.previous.c_str());

    EXPECT_EQ(ListCdDrives(list), row.expectedResult) << row.id;
    EXPECT_EQ(std::string(list.GetText()), row.expectedList) << row.id;
    EXPECT_EQ(list.GetLength(), static_cast<int>(row.expectedList.size())) << row.id;
  }
}

TEST_F(ListCdDrivesTest, AsksTheSystemOncePerCall) {
  standin::SetDrives({{"D:\\", DRIVE_CDROM}});
  TnString list;
  ListCdDrives(list);
  ListCdDrives(list);
  EXPECT_EQ(standin::DriveListCalls(), 2);
  EXPECT_STREQ(list.GetText(), "D:\\ ");
}

struct WalkRow {
  const char* id;
  std::string bytes;  // the list, possibly with bytes after its terminating NUL
  std::vector<int> expectedOffsets;
};

TEST(ForEachDriveEntry, VisitsEachEntryOnceAndStopsAtTheEnd) {
  const std::vector<WalkRow> rows = {
      {"well-formed", "D:\\ E:\\ ", {0, 4}},
      {"final-space-missing", std::string("D:\\ E:\\") + '\0' + "F:\\ G:\\ ", {0, 4}},
      {"one-character-entry", std::string("D") + '\0' + "E:\\ F:\\ ", {0}},
      {"empty-list", std::string("") + '\0' + "D:\\ ", {}},
      {"doubled-space-is-an-empty-entry", "D:\\  E:\\ ", {0, 4, 5}},
      {"leading-space-is-an-empty-entry", " D:\\ ", {0, 1}},
      {"only-spaces", "  ", {0, 1}},
  };
  for (const WalkRow& row : rows) {
    SCOPED_TRACE(row.id);
    const char* list = row.bytes.c_str();
    const int textLength = lstrlenA(list);
    std::vector<int> offsets;
    ForEachDriveEntry(list, [&](LPCSTR entry) {
      const int offset = static_cast<int>(entry - list);
      EXPECT_TRUE(offset >= 0 && offset < textLength) << row.id << ": entry at " << offset;
      offsets.push_back(offset);
    });
    EXPECT_EQ(offsets, row.expectedOffsets) << row.id;
  }
}

}  // namespace
