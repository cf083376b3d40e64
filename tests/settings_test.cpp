// The settings file: readers with their defaults and results, hand-edited
// bad input, writers' exact file bytes, the CP932 keywords as raw bytes, files and
// folders that cannot be written or read, and the decimal conversion.
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstring>
#include <filesystem>
#include <string>

#include "base/cp932_texts.h"
#include "base/settings.h"
#include "base/tn_string.h"
#include "plugin/module_state.h"
#include "support/plugin_fixture.h"

namespace {

using testing_support::PluginTest;

// What the three readers give for one settings file.
struct Readings {
  std::string drive;
  int driveRet;
  int runOn;
  int runOnRet;
  int closeOn;
  int closeOnRet;
};

Readings ReadAll() {
  Readings r;
  TnString drive;
  drive.Assign("stale");
  r.driveRet = ReadDrive(drive);
  r.drive = drive.GetText();
  EXPECT_EQ(drive.GetLength(), static_cast<int>(r.drive.size()));
  r.runOn = -12345;
  r.runOnRet = ReadRunOn(r.runOn);
  r.closeOn = -12345;
  r.closeOnRet = ReadCloseOn(r.closeOn);
  return r;
}

// Every reader fell back to its default: empty drive, RunOn 1, CloseOn 0, results 0.
void ExpectDefaults(const Readings& r) {
  EXPECT_EQ(r.drive, "");
  EXPECT_EQ(r.driveRet, 0);
  EXPECT_EQ(r.runOn, 1);
  EXPECT_EQ(r.runOnRet, 0);
  EXPECT_EQ(r.closeOn, 0);
  EXPECT_EQ(r.closeOnRet, 0);
}

class Settings : public PluginTest {};

// --- Readers ----------------------------------------------------------------------------

struct ReadCase {
  const char* id;
  const char* file;  // nullptr: no settings file
  Readings expect;
};

const ReadCase kReadCases[] = {
    {"no_file", nullptr, {"", 0, 1, 0, 0, 0}},
    {"empty_file", "", {"", 0, 1, 0, 0, 0}},
    {"other_section_only", "[Other]\r\nDrive=D:\\\r\nRunOn=0\r\nCloseOn=1\r\n", {"", 0, 1, 0, 0, 0}},
    {"empty_values", "[Option]\r\nDrive=\r\nRunOn=\r\nCloseOn=\r\n", {"", 0, 1, 0, 0, 0}},
    {"blank_values", "[Option]\r\nDrive=   \r\nRunOn= \t \r\nCloseOn=  \r\n", {"", 0, 1, 0, 0, 0}},
    {"keys_without_equals", "[Option]\r\nDrive\r\nRunOn\r\nCloseOn\r\n", {"", 0, 1, 0, 0, 0}},
    {"written_by_plugin", "[Option]\r\nDrive=\x91\x53\x82\xC4\r\nRunOn=1\r\nCloseOn=0\r\n",
     {"\x91\x53\x82\xC4", 1, 1, 1, 0, 1}},
    {"default_keyword_off_close", "[Option]\r\nDrive=\x83\x66\x83\x74\x83\x48\x83\x8B\x83\x67\r\nRunOn=0\r\nCloseOn=1\r\n",
     {"\x83\x66\x83\x74\x83\x48\x83\x8B\x83\x67", 1, 0, 1, 1, 1}},
    {"drive_root", "[Option]\r\nDrive=D:\\\r\n", {"D:\\", 1, 1, 0, 0, 0}},
    {"drive_lower_case_root", "[Option]\r\nDrive=e:\\\r\n", {"e:\\", 1, 1, 0, 0, 0}},
    {"lf_only", "[Option]\nDrive=D:\\\nRunOn=0\nCloseOn=1\n", {"D:\\", 1, 0, 1, 1, 1}},
    {"no_final_newline", "[Option]\r\nCloseOn=1", {"", 0, 1, 0, 1, 1}},
    {"section_and_keys_in_other_case", "[OPTION]\r\ndrive=D:\\\r\nrunon=0\r\nCLOSEON=1\r\n", {"D:\\", 1, 0, 1, 1, 1}},
    {"run_on_space_minus_one", "[Option]\r\nRunOn= -1\r\n", {"", 0, -1, 1, 0, 0}},
    {"run_on_1x", "[Option]\r\nRunOn=1x\r\n", {"", 0, 1, 1, 0, 0}},
    {"run_on_2", "[Option]\r\nRunOn=2\r\nCloseOn=2\r\n", {"", 0, 2, 1, 2, 1}},
    {"run_on_abc", "[Option]\r\nRunOn=abc\r\nCloseOn=abc\r\n", {"", 0, 0, 1, 0, 1}},
    {"run_on_plus_seven", "[Option]\r\nRunOn=+7\r\n", {"", 0, 7, 1, 0, 0}},
    {"run_on_zero_padded", "[Option]\r\nRunOn=0001\r\nCloseOn=01\r\n", {"", 0, 1, 1, 1, 1}},
    {"run_on_hex_is_zero", "[Option]\r\nRunOn=0x10\r\n", {"", 0, 0, 1, 0, 0}},
    {"run_on_minus_only", "[Option]\r\nRunOn=-\r\n", {"", 0, 0, 1, 0, 0}},
    {"run_on_huge", "[Option]\r\nRunOn=99999999999999999999999\r\nCloseOn=4294967297\r\n", {"", 0, INT_MAX, 1, INT_MAX, 1}},
    {"run_on_huge_negative", "[Option]\r\nRunOn=-99999999999999999999999\r\nCloseOn=-2147483649\r\n",
     {"", 0, INT_MIN, 1, INT_MIN, 1}},
    {"int_limits", "[Option]\r\nRunOn=2147483647\r\nCloseOn=-2147483648\r\n", {"", 0, INT_MAX, 1, INT_MIN, 1}},
    {"quoted_values", "[Option]\r\nDrive=\"D:\\\"\r\nRunOn=\"0\"\r\n", {"D:\\", 1, 0, 1, 0, 0}},
    {"stray_lead_byte_at_end", "[Option]\r\nDrive=D:\\\x95\r\nRunOn=1\x95\r\nCloseOn=\x83\r\n", {"D:\\\x95", 1, 1, 1, 0, 1}},
    {"stray_lead_byte_before_newline_only", "[Option]\r\nDrive=\x91\r\nRunOn=0\r\n", {"\x91", 1, 0, 1, 0, 0}},
    {"duplicate_keys_first_wins", "[Option]\r\nRunOn=0\r\nRunOn=1\r\nDrive=D:\\\r\nDrive=E:\\\r\n", {"D:\\", 1, 0, 1, 0, 0}},
    {"duplicate_sections_first_key_wins", "[Option]\r\nRunOn=0\r\n[Other]\r\nx=y\r\n[Option]\r\nRunOn=1\r\n",
     {"", 0, 0, 1, 0, 0}},
    {"commented_out", "[Option]\r\n;RunOn=0\r\n; Drive=D:\\\r\n", {"", 0, 1, 0, 0, 0}},
    {"garbage_lines", "\x01\x02garbage\r\n=\r\n[Option]\r\n==\r\nRunOn==0\r\n", {"", 0, 0, 1, 0, 0}},
};

class Readers : public PluginTest, public ::testing::WithParamInterface<ReadCase> {};

TEST_P(Readers, ReadAsTheTableSays) {
  const ReadCase& c = GetParam();
  if (c.file) WriteSettingsFile(c.file);
  const Readings r = ReadAll();
  EXPECT_EQ(r.drive, c.expect.drive) << c.id;
  EXPECT_EQ(r.driveRet, c.expect.driveRet) << c.id;
  EXPECT_EQ(r.runOn, c.expect.runOn) << c.id;
  EXPECT_EQ(r.runOnRet, c.expect.runOnRet) << c.id;
  EXPECT_EQ(r.closeOn, c.expect.closeOn) << c.id;
  EXPECT_EQ(r.closeOnRet, c.expect.closeOnRet) << c.id;
  EXPECT_EQ(standin::ProfileReadCalls(), 3) << c.id << ": each reader reads the file once";
  EXPECT_EQ(standin::ProfileWriteCalls(), 0) << c.id;
  EXPECT_EQ(SettingsFileExists(), c.file != nullptr) << c.id << ": reading never creates the file";
  if (c.file) {
    EXPECT_EQ(ReadSettingsFile(), std::string(c.file)) << c.id << ": reading never changes the file";
  }
}

INSTANTIATE_TEST_SUITE_P(Table, Readers, ::testing::ValuesIn(kReadCases),
                         [](const ::testing::TestParamInfo<ReadCase>& info) { return std::string(info.param.id); });

TEST_F(Settings, LongDriveValueReadsAsItsFirst259Characters) {
  std::string value;
  for (int i = 0; i < 300; ++i) value += static_cast<char>('A' + i % 26);
  WriteSettingsFile("[Option]\r\nDrive=" + value + "\r\n");
  TnString drive;
  EXPECT_EQ(ReadDrive(drive), 1);
  EXPECT_EQ(std::string(drive.GetText()), value.substr(0, 259));
  EXPECT_EQ(drive.GetLength(), 259);
}

TEST_F(Settings, LongNumericValuesAreCutAndStillConverted) {
  // 300 characters of digits: the first 259 are converted (saturating).
  WriteSettingsFile("[Option]\r\nRunOn=" + std::string(300, '7') + "\r\nCloseOn=" + std::string(298, ' ') + "1\r\n");
  int runOn = 0;
  int closeOn = 5;
  EXPECT_EQ(ReadRunOn(runOn), 1);
  EXPECT_EQ(runOn, INT_MAX);
  EXPECT_EQ(ReadCloseOn(closeOn), 1);  // leading blanks trimmed by the profile reader
  EXPECT_EQ(closeOn, 1);
}

TEST_F(Settings, LongCp932DriveValueStaysInsideItsBuffer) {
  // 150 double-byte characters (300 bytes): the cut may fall inside a character,
  // but the text stays terminated within the 260-byte buffer.
  std::string value;
  for (int i = 0; i < 150; ++i) value += "\x95\x5C";
  WriteSettingsFile("[Option]\r\nDrive=" + value + "\r\n");
  TnString drive;
  EXPECT_EQ(ReadDrive(drive), 1);
  EXPECT_LE(drive.GetLength(), 259);
  EXPECT_GE(drive.GetLength(), 258);
  EXPECT_EQ(std::string(drive.GetText()), value.substr(0, static_cast<size_t>(drive.GetLength())));
}

TEST_F(Settings, EveryReadGoesToTheFile) {
  WriteSettingsFile("[Option]\r\nRunOn=0\r\n");
  int runOn = 9;
  EXPECT_EQ(ReadRunOn(runOn), 1);
  EXPECT_EQ(runOn, 0);
  WriteSettingsFile("[Option]\r\nRunOn=1\r\n");
  EXPECT_EQ(ReadRunOn(runOn), 1);
  EXPECT_EQ(runOn, 1);
  RemoveSettingsFile();
  runOn = 9;
  EXPECT_EQ(ReadRunOn(runOn), 0);
  EXPECT_EQ(runOn, 1);
  EXPECT_EQ(standin::ProfileReadCalls(), 3);
}

TEST_F(Settings, ReadDriveReplacesPreviousContent) {
  WriteSettingsFile("[Option]\r\nDrive=D:\\\r\n");
  TnString drive;
  drive.Assign("a much longer previous content");
  EXPECT_EQ(ReadDrive(drive), 1);
  EXPECT_STREQ(drive.GetText(), "D:\\");
  RemoveSettingsFile();
  EXPECT_EQ(ReadDrive(drive), 0);
  EXPECT_STREQ(drive.GetText(), "");
  EXPECT_EQ(drive.GetLength(), 0);
}

TEST_F(Settings, ReadDriveAllocationFailureRaisesAndKeepsTheText) {
  WriteSettingsFile("[Option]\r\nDrive=a value longer than the old storage\r\n");
  TnString drive;
  drive.Assign("old");
  standin::FailAllocation(1);
  EXPECT_THROW(ReadDrive(drive), TnStringError);
  EXPECT_STREQ(drive.GetText(), "old");
}

// --- Writers ------------------------------------------------------------------------------

TEST_F(Settings, WritersCreateTheFileWithExactBytes) {
  ASSERT_FALSE(SettingsFileExists());
  EXPECT_EQ(WriteDrive("\x91\x53\x82\xC4"), TRUE);
  EXPECT_EQ(WriteRunOn(1), TRUE);
  EXPECT_EQ(WriteCloseOn(0), TRUE);
  EXPECT_EQ(ReadSettingsFile(), "[Option]\r\nDrive=\x91\x53\x82\xC4\r\nRunOn=1\r\nCloseOn=0\r\n");
  const Readings r = ReadAll();
  EXPECT_EQ(r.drive, "\x91\x53\x82\xC4");
  EXPECT_EQ(r.runOn, 1);
  EXPECT_EQ(r.closeOn, 0);
  EXPECT_EQ(r.closeOnRet, 1);
}

TEST_F(Settings, WritersReplaceValuesInPlace) {
  WriteSettingsFile("[Option]\r\nRunOn=2\r\nCloseOn=1\r\nDrive=D:\\\r\n");
  WriteRunOn(0);
  WriteCloseOn(0);
  WriteDrive("E:\\");
  EXPECT_EQ(ReadSettingsFile(), "[Option]\r\nRunOn=0\r\nCloseOn=0\r\nDrive=E:\\\r\n");
  WriteRunOn(1);
  WriteCloseOn(1);
  EXPECT_EQ(ReadSettingsFile(), "[Option]\r\nRunOn=1\r\nCloseOn=1\r\nDrive=E:\\\r\n");
}

TEST_F(Settings, WritersKeepOtherSectionsAndKeys) {
  WriteSettingsFile("[Other]\r\nkey=value\r\n[Option]\r\nExtra=1\r\n");
  WriteRunOn(1);
  EXPECT_EQ(ReadSettingsFile(), "[Other]\r\nkey=value\r\n[Option]\r\nExtra=1\r\nRunOn=1\r\n");
}

TEST_F(Settings, WriteFlagsGiveTheCharacterZeroPlusValue) {
  WriteRunOn(0);
  WriteCloseOn(1);
  EXPECT_EQ(ReadSettingsFile(), "[Option]\r\nRunOn=0\r\nCloseOn=1\r\n");
}

TEST_F(Settings, WriteEmptyDriveReadsAsDefault) {
  WriteDrive("");
  EXPECT_EQ(ReadSettingsFile(), "[Option]\r\nDrive=\r\n");
  TnString drive;
  EXPECT_EQ(ReadDrive(drive), 0);
  EXPECT_STREQ(drive.GetText(), "");
}

TEST_F(Settings, WriteNullDriveWritesNothing) {
  WriteSettingsFile("[Option]\r\nDrive=D:\\\r\n");
  WriteDrive(nullptr);
  EXPECT_EQ(ReadSettingsFile(), "[Option]\r\nDrive=D:\\\r\n");
}

// The one test on the keywords' raw bytes through the file.
TEST_F(Settings, KeywordsAreCp932BytesInTheFile) {
  const char defaultBytes[] = {'\x83', '\x66', '\x83', '\x74', '\x83', '\x48', '\x83', '\x8B', '\x83', '\x67', '\0'};
  const char allBytes[] = {'\x91', '\x53', '\x82', '\xC4', '\0'};
  // The product's keywords are exactly these bytes.
  EXPECT_EQ(std::string(kDriveDefault), std::string(defaultBytes));
  EXPECT_EQ(std::string(kDriveAll), std::string(allBytes));

  WriteDrive(kDriveDefault);
  EXPECT_EQ(ReadSettingsFile(), std::string("[Option]\r\nDrive=") + defaultBytes + "\r\n");
  TnString drive;
  EXPECT_EQ(ReadDrive(drive), 1);
  EXPECT_EQ(drive.GetLength(), 10);
  EXPECT_EQ(std::memcmp(drive.GetText(), defaultBytes, 11), 0);
  EXPECT_EQ(drive.Compare(kDriveDefault), 0);

  WriteSettingsFile(std::string("[Option]\r\nDrive=") + allBytes + "\r\n");
  EXPECT_EQ(ReadDrive(drive), 1);
  EXPECT_EQ(drive.GetLength(), 4);
  EXPECT_EQ(std::memcmp(drive.GetText(), allBytes, 5), 0);
  EXPECT_EQ(drive.Compare(kDriveAll), 0);
  EXPECT_NE(drive.Compare(kDriveDefault), 0);

  WriteDrive(kDriveAll);
  EXPECT_EQ(ReadSettingsFile(), std::string("[Option]\r\nDrive=") + allBytes + "\r\n");
}

// --- Files and folders that cannot be written or read -------------------------------------

// Makes a file or folder unwritable for the test's duration: its permissions, and, for
// root (whom permissions do not stop), the file system's immutable flag.
class Unwritable {
 public:
  explicit Unwritable(const std::string& path) : path_(path) {
    struct stat st {};
    ::stat(path.c_str(), &st);
    mode_ = st.st_mode & 07777;
    ::chmod(path.c_str(), S_ISDIR(st.st_mode) ? 0555 : 0444);
    if (::geteuid() == 0) immutable_ = SetImmutable(true);
  }
  ~Unwritable() {
    if (immutable_) SetImmutable(false);
    ::chmod(path_.c_str(), mode_);
  }
  bool Effective() const { return ::access(path_.c_str(), W_OK) != 0; }

 private:
  bool SetImmutable(bool on) {
    const int fd = ::open(path_.c_str(), O_RDONLY | O_NONBLOCK);
    if (fd < 0) return false;
    int flags = 0;
    bool ok = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    if (ok) {
      flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
      ok = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    }
    ::close(fd);
    return ok;
  }
  std::string path_;
  mode_t mode_ = 0644;
  bool immutable_ = false;
};

TEST_F(Settings, ReadOnlyFileWritesFailSilentlyAndNothingIsLost) {
  const std::string content = "[Option]\r\nDrive=D:\\\r\nRunOn=1\r\nCloseOn=1\r\n";
  WriteSettingsFile(content);
  Unwritable guard(iniPath_);
  if (!guard.Effective()) GTEST_SKIP() << "cannot make a file read-only here";
  EXPECT_EQ(WriteDrive("E:\\"), FALSE);
  EXPECT_EQ(WriteRunOn(0), FALSE);
  EXPECT_EQ(WriteCloseOn(0), FALSE);
  EXPECT_EQ(ReadSettingsFile(), content);
  const Readings r = ReadAll();
  EXPECT_EQ(r.drive, "D:\\");
  EXPECT_EQ(r.runOn, 1);
  EXPECT_EQ(r.closeOn, 1);
}

TEST_F(Settings, ReadOnlyFolderWritesFailSilentlyAndCreateNothing) {
  Unwritable guard(dir_);
  if (!guard.Effective()) GTEST_SKIP() << "cannot make a folder read-only here";
  EXPECT_EQ(WriteDrive("E:\\"), FALSE);
  EXPECT_EQ(WriteRunOn(0), FALSE);
  EXPECT_EQ(WriteCloseOn(1), FALSE);
  EXPECT_FALSE(SettingsFileExists());
  const Readings r = ReadAll();
  EXPECT_EQ(r.drive, "");
  EXPECT_EQ(r.runOn, 1);
  EXPECT_EQ(r.closeOn, 0);
}

TEST_F(Settings, UnreadableFileReadsAsDefaults) {
  WriteSettingsFile("[Option]\r\nDrive=D:\\\r\nRunOn=0\r\nCloseOn=1\r\n");
  ::chmod(iniPath_.c_str(), 0);
  if (::access(iniPath_.c_str(), R_OK) == 0) {
    ::chmod(iniPath_.c_str(), 0644);
    GTEST_SKIP() << "permissions do not stop this user (root); see SettingsPathIsAFolder";
  }
  const Readings r = ReadAll();
  ::chmod(iniPath_.c_str(), 0644);
  ExpectDefaults(r);
}

TEST_F(Settings, SettingsPathIsAFolderReadsAsDefaultsAndWritesFail) {
  // A file that cannot be read or written whoever runs the test: a folder in its place.
  ASSERT_TRUE(std::filesystem::create_directory(iniPath_));
  const Readings r = ReadAll();
  ExpectDefaults(r);
  EXPECT_EQ(WriteRunOn(0), FALSE);
  EXPECT_TRUE(std::filesystem::is_directory(iniPath_));
}

TEST_F(Settings, WithoutSettingsPathReadersGiveDefaultsAndWritersWriteNothing) {
  WriteSettingsFile("[Option]\r\nDrive=D:\\\r\nRunOn=0\r\nCloseOn=1\r\n");
  g_szIniPath[0] = '\0';
  const Readings r = ReadAll();
  ExpectDefaults(r);
  EXPECT_EQ(WriteDrive("E:\\"), FALSE);
  EXPECT_EQ(WriteRunOn(1), FALSE);
  EXPECT_EQ(WriteCloseOn(0), FALSE);
  EXPECT_EQ(standin::ProfileReadCalls() + standin::ProfileWriteCalls(), 0);
}

// --- ParseDecimal ----------------------------------------------------------------------------

struct DecimalCase {
  const char* text;
  long value;
};

TEST(ParseDecimal, ConvertsLikeAtol) {
  const DecimalCase cases[] = {
      {"", 0},
      {"0", 0},
      {"1", 1},
      {"2", 2},
      {"42", 42},
      {"007", 7},
      {" 1", 1},
      {" \t\r\n\v\f12", 12},
      {"+5", 5},
      {"-5", -5},
      {" -1", -1},
      {"-0", 0},
      {"1x", 1},
      {"12 34", 12},
      {"3.9", 3},
      {"x1", 0},
      {"abc", 0},
      {"-", 0},
      {"+", 0},
      {"- 1", 0},
      {"--1", 0},
      {"+-1", 0},
      {"0x10", 0},
      {"\x95\x5C", 0},
      {"\x82\x50", 0},  // full-width digit 1 is not a digit
      {"2147483647", 2147483647L},
      {"-2147483648", -2147483648L},
      {"99999999999999999999999999", LONG_MAX},
      {"-99999999999999999999999999", LONG_MIN},
  };
  for (const DecimalCase& c : cases) {
    EXPECT_EQ(ParseDecimal(c.text), c.value) << "\"" << c.text << "\"";
  }
}

TEST(ParseDecimal, SaturatesExactlyAtTheLimits) {
  const std::string max = std::to_string(LONG_MAX);
  const std::string min = std::to_string(LONG_MIN);
  EXPECT_EQ(ParseDecimal(max.c_str()), LONG_MAX);
  EXPECT_EQ(ParseDecimal((max + "0").c_str()), LONG_MAX);
  EXPECT_EQ(ParseDecimal(min.c_str()), LONG_MIN);
  EXPECT_EQ(ParseDecimal((min + "0").c_str()), LONG_MIN);
}

}  // namespace
