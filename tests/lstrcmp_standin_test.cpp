// Every row of tests/cases/lstrcmp_cases.h against the stand-in's lstrcmpA and
// lstrcmpiA. The Wine suite runs the same rows against the real functions; a failure
// names the row.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <string>

#include "cases/lstrcmp_cases.h"
#include "standin/standin_control.h"

namespace {

int Sign(int v) { return v < 0 ? -1 : v > 0 ? 1 : 0; }

std::string ParamName(const char* id) {
  std::string name = id;
  for (char& c : name) {
    if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
  }
  return name;
}

std::string NameOf(const ::testing::TestParamInfo<LstrcmpCase>& info) { return ParamName(info.param.id); }

class Lstrcmp : public ::testing::TestWithParam<LstrcmpCase> {};

TEST_P(Lstrcmp, Row) {
  const LstrcmpCase& c = GetParam();
  EXPECT_EQ(Sign(lstrcmpA(c.a, c.b)), c.sign) << "row " << c.id << ": lstrcmpA(a, b)";
  EXPECT_EQ(Sign(lstrcmpA(c.b, c.a)), -c.sign) << "row " << c.id << ": lstrcmpA(b, a)";
}

INSTANTIATE_TEST_SUITE_P(Cases, Lstrcmp, ::testing::ValuesIn(kLstrcmpCases), NameOf);

class Lstrcmpi : public ::testing::TestWithParam<LstrcmpCase> {};

TEST_P(Lstrcmpi, Row) {
  const LstrcmpCase& c = GetParam();
  EXPECT_EQ(Sign(lstrcmpiA(c.a, c.b)), c.sign) << "row " << c.id << ": lstrcmpiA(a, b)";
  EXPECT_EQ(Sign(lstrcmpiA(c.b, c.a)), -c.sign) << "row " << c.id << ": lstrcmpiA(b, a)";
}

INSTANTIATE_TEST_SUITE_P(Cases, Lstrcmpi, ::testing::ValuesIn(kLstrcmpiCases), NameOf);

TEST(LstrcmpCases, EveryTextEqualsItself) {
  for (const LstrcmpCase& c : kLstrcmpCases) {
    EXPECT_EQ(lstrcmpA(c.a, c.a), 0) << "row " << c.id;
    EXPECT_EQ(lstrcmpA(c.b, c.b), 0) << "row " << c.id;
  }
  for (const LstrcmpCase& c : kLstrcmpiCases) {
    EXPECT_EQ(lstrcmpiA(c.a, c.a), 0) << "row " << c.id;
  }
}

TEST(LstrcmpCases, RowIdsAreUnique) {
  std::vector<std::string> ids;
  for (const LstrcmpCase& c : kLstrcmpCases) ids.push_back(std::string("cmp:") + c.id);
  for (const LstrcmpCase& c : kLstrcmpiCases) ids.push_back(std::string("cmpi:") + c.id);
  std::sort(ids.begin(), ids.end());
  EXPECT_EQ(std::adjacent_find(ids.begin(), ids.end()), ids.end());
}

}  // namespace
