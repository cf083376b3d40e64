// Every row of tests/cases/profile_cases.h against the stand-in's
// GetPrivateProfileStringA and WritePrivateProfileStringA. The Wine suite runs the
// same rows against the real functions; a failure names the row.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "cases/profile_cases.h"
#include "standin/standin_control.h"

namespace {

std::string ParamName(const char* id) {
  std::string name = id;
  for (char& c : name) {
    if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
  }
  return name;
}

class ProfileStandin : public ::testing::Test {
 protected:
  void SetUp() override {
    standin::Reset();
    char pattern[] = "/tmp/quindle-profile-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = pattern;
    file_ = dir_ + "/case.ini";
  }
  void TearDown() override {
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
  }
  void Put(const char* bytes) {
    std::ofstream out(file_, std::ios::binary | std::ios::trunc);
    out << bytes;
  }
  std::string Get() {
    std::ifstream in(file_, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
  }
  bool Exists() { return std::filesystem::exists(file_); }

  std::string dir_;
  std::string file_;
};

class ProfileRead : public ProfileStandin, public ::testing::WithParamInterface<ProfileReadCase> {};

TEST_P(ProfileRead, Row) {
  const ProfileReadCase& c = GetParam();
  SCOPED_TRACE(std::string("row ") + c.id);
  if (c.file) Put(c.file);
  constexpr unsigned char kFill = 0xCC;
  constexpr size_t kGuard = 16;
  std::vector<char> buffer(c.size + kGuard, static_cast<char>(kFill));
  const DWORD ret = GetPrivateProfileStringA(c.section, c.key, c.def, buffer.data(), c.size, file_.c_str());
  EXPECT_EQ(ret, c.expectRet) << "row " << c.id << ": return value";
  EXPECT_EQ(std::string(buffer.data()), std::string(c.expect)) << "row " << c.id << ": text";
  EXPECT_EQ(buffer[ret], '\0') << "row " << c.id << ": terminated at the returned count";
  for (size_t i = c.size; i < buffer.size(); ++i) {
    EXPECT_EQ(static_cast<unsigned char>(buffer[i]), kFill) << "row " << c.id << ": wrote past the buffer at " << i;
  }
  EXPECT_EQ(Exists(), c.file != nullptr) << "row " << c.id << ": reading must not create the file";
  if (c.file) {
    EXPECT_EQ(Get(), std::string(c.file)) << "row " << c.id << ": reading must not change the file";
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, ProfileRead, ::testing::ValuesIn(kProfileReadCases),
                         [](const ::testing::TestParamInfo<ProfileReadCase>& info) { return ParamName(info.param.id); });

class ProfileWrite : public ProfileStandin, public ::testing::WithParamInterface<ProfileWriteCase> {};

TEST_P(ProfileWrite, Row) {
  const ProfileWriteCase& c = GetParam();
  SCOPED_TRACE(std::string("row ") + c.id);
  if (c.before) Put(c.before);
  EXPECT_EQ(WritePrivateProfileStringA(c.section, c.key, c.value, file_.c_str()), TRUE) << "row " << c.id;
  EXPECT_EQ(Get(), std::string(c.after)) << "row " << c.id << ": file bytes afterwards";
}

INSTANTIATE_TEST_SUITE_P(Cases, ProfileWrite, ::testing::ValuesIn(kProfileWriteCases),
                         [](const ::testing::TestParamInfo<ProfileWriteCase>& info) { return ParamName(info.param.id); });

TEST_F(ProfileStandin, RowIdsAreUnique) {
  std::vector<std::string> ids;
  for (const ProfileReadCase& c : kProfileReadCases) ids.push_back(std::string("read:") + c.id);
  for (const ProfileWriteCase& c : kProfileWriteCases) ids.push_back(std::string("write:") + c.id);
  std::sort(ids.begin(), ids.end());
  EXPECT_EQ(std::adjacent_find(ids.begin(), ids.end()), ids.end());
}

TEST_F(ProfileStandin, WrittenValueReadsBack) {
  // Each write row's value reads back as written (leading blanks dropped).
  for (const ProfileWriteCase& c : kProfileWriteCases) {
    SCOPED_TRACE(std::string("row ") + c.id);
    std::remove(file_.c_str());
    if (c.before) Put(c.before);
    ASSERT_EQ(WritePrivateProfileStringA(c.section, c.key, c.value, file_.c_str()), TRUE);
    char buffer[260];
    std::string expect = c.value;
    expect.erase(0, expect.find_first_not_of(" \t"));
    EXPECT_EQ(GetPrivateProfileStringA(c.section, c.key, "", buffer, sizeof buffer, file_.c_str()), expect.size());
    EXPECT_EQ(std::string(buffer), expect);
  }
}

}  // namespace
