// CBeckyAPI::Bind: which hosts are accepted, how many names are looked up,
// the version gate on "2.00.06" and BKA_SetStatus, and the unbound/bound states.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/becky_api.h"
#include "standin/standin_control.h"
#include "support/plugin_fixture.h"

namespace {

using testing_support::ExportWholeHostTable;
using testing_support::HostExportFor;
using testing_support::HostGetVersionCalls;
using testing_support::SetHostVersion;

struct SlotName {
  const char* name;
  bool required;
};
const std::vector<SlotName> kSlotNames = {
#define QUINDLE_NAME(name, required) {#name, required != 0},
    QUINDLE_BECKY_API(QUINDLE_NAME)
#undef QUINDLE_NAME
};

// The value of every slot of `api`, in slot order.
std::vector<FARPROC> SlotValues(const CBeckyAPI& api) {
  return {
#define QUINDLE_VALUE(name, required) api.name,
      QUINDLE_BECKY_API(QUINDLE_VALUE)
#undef QUINDLE_VALUE
  };
}

class BeckyApiTest : public ::testing::Test {
 protected:
  void SetUp() override {
    standin::Reset();
    testing_support::ResetHostGetVersionCalls();
    SetHostVersion("2.10.00");
    standin::SetHostModule(standin::FakeModule(1));
    ExportWholeHostTable();
  }
};

TEST_F(BeckyApiTest, TableHasTheSpecsFiftySixSlotsInOrder) {
  ASSERT_EQ(kSlotNames.size(), 56u);
  EXPECT_STREQ(kSlotNames.front().name, "BKA_GetVersion");
  EXPECT_STREQ(kSlotNames[8].name, "BKA_GetCurrentMailBox");
  EXPECT_STREQ(kSlotNames[21].name, "BKA_SetStatus");
  EXPECT_FALSE(kSlotNames[21].required);
  EXPECT_STREQ(kSlotNames[43].name, "BKA_ISO_2022_JP");
  EXPECT_STREQ(kSlotNames[53].name, "BKA_SerializeRcpts");
  EXPECT_STREQ(kSlotNames[54].name, "BKA_Connect");
  EXPECT_STREQ(kSlotNames.back().name, "BKA_NextUnread");
  EXPECT_FALSE(kSlotNames.back().required);
  int required = 0;
  for (const SlotName& s : kSlotNames) required += s.required ? 1 : 0;
  EXPECT_EQ(required, 54);
}

TEST_F(BeckyApiTest, NewTableIsUnbound) {
  CBeckyAPI api;
  EXPECT_FALSE(api.IsBound());
  EXPECT_EQ(api.m_hHostModule, nullptr);
  for (FARPROC p : SlotValues(api)) EXPECT_EQ(p, nullptr);
}

// --- Hosts: version text and missing names -> accepted or refused ---------------------

struct HostCase {
  const char* id;
  const char* version;
  std::vector<std::string> missing;
  bool accepted;
  int lookups;  // GetProcAddress calls Bind makes
};

const HostCase kHostCases[] = {
    {"v2_00_05_without_SetStatus", "2.00.05", {"BKA_SetStatus"}, true, 56},
    {"v2_00_05_with_SetStatus", "2.00.05", {}, true, 56},
    {"v2_00_06_without_SetStatus", "2.00.06", {"BKA_SetStatus"}, false, 56},
    {"v2_00_06_with_SetStatus", "2.00.06", {}, true, 56},
    {"v2_10_00_with_SetStatus", "2.10.00", {}, true, 56},
    {"v2_10_00_without_SetStatus", "2.10.00", {"BKA_SetStatus"}, false, 56},
    {"v2_00_05a_without_SetStatus", "2.00.05a", {"BKA_SetStatus"}, false, 56},
    {"v2_00_05a_with_SetStatus", "2.00.05a", {}, true, 56},
    {"v1_26_04_without_SetStatus", "1.26.04", {"BKA_SetStatus"}, true, 56},
    {"v2_00_short_without_SetStatus", "2.00", {"BKA_SetStatus"}, true, 56},
    {"v3_0_without_SetStatus", "3.0", {"BKA_SetStatus"}, false, 56},
    {"empty_version_without_SetStatus", "", {"BKA_SetStatus"}, true, 56},
    {"long_older_version_without_SetStatus", "2.00.05 beta", {"BKA_SetStatus"}, false, 56},
    {"without_NextUnread", "2.10.00", {"BKA_NextUnread"}, true, 56},
    {"without_both_optional_old_host", "2.00.05", {"BKA_SetStatus", "BKA_NextUnread"}, true, 56},
    {"without_both_optional_new_host", "2.10.00", {"BKA_SetStatus", "BKA_NextUnread"}, false, 56},
    // BKA_Connect is the 54th required name: 53 lookups succeed, the 54th fails.
    {"without_Connect", "2.10.00", {"BKA_Connect"}, false, 54},
    {"without_GetVersion", "2.10.00", {"BKA_GetVersion"}, false, 1},
    {"without_Command", "2.10.00", {"BKA_Command"}, false, 2},
    {"without_GetStatus", "2.10.00", {"BKA_GetStatus"}, false, 21},
    {"without_ComposeMail", "2.10.00", {"BKA_ComposeMail"}, false, 22},  // SetStatus passed over
    {"without_Alloc_and_Connect", "2.00.05", {"BKA_Alloc", "BKA_Connect"}, false, 40},
};

class HostTable : public BeckyApiTest, public ::testing::WithParamInterface<HostCase> {};

TEST_P(HostTable, AcceptsOrRefuses) {
  const HostCase& c = GetParam();
  SCOPED_TRACE(c.id);
  SetHostVersion(c.version);
  for (const std::string& name : c.missing) standin::RemoveHostExport(name);

  CBeckyAPI api;
  const int result = api.Bind();
  EXPECT_EQ(result, c.accepted ? 1 : 0) << c.id;
  EXPECT_EQ(api.IsBound(), c.accepted) << c.id;
  EXPECT_EQ(api.m_hHostModule, c.accepted ? standin::FakeModule(1) : nullptr) << c.id;
  EXPECT_EQ(standin::GetProcAddressCalls(), c.lookups) << c.id;
  // The version is asked only once every required name was found.
  EXPECT_EQ(HostGetVersionCalls(), c.lookups == 56 ? 1 : 0) << c.id;
}

INSTANTIATE_TEST_SUITE_P(Hosts, HostTable, ::testing::ValuesIn(kHostCases),
                         [](const ::testing::TestParamInfo<HostCase>& info) { return std::string(info.param.id); });

// --- Lookup order and exact names ---------------------------------------------------

TEST_F(BeckyApiTest, EachMissingRequiredNameStopsTheLookupsThere) {
  int position = 0;  // among the required names
  for (const SlotName& slot : kSlotNames) {
    if (!slot.required) continue;
    ++position;
    SCOPED_TRACE(slot.name);
    standin::Reset();
    standin::SetHostModule(standin::FakeModule(1));
    ExportWholeHostTable();
    standin::RemoveHostExport(slot.name);
    testing_support::ResetHostGetVersionCalls();
    CBeckyAPI api;
    EXPECT_EQ(api.Bind(), 0);
    EXPECT_FALSE(api.IsBound());
    EXPECT_EQ(standin::GetProcAddressCalls(), position) << "names after the missing one must not be looked up";
    EXPECT_EQ(HostGetVersionCalls(), 0);
  }
  EXPECT_EQ(position, 54);
}

TEST_F(BeckyApiTest, AcceptedTableHoldsEveryHostAddressInItsSlot) {
  CBeckyAPI api;
  ASSERT_EQ(api.Bind(), 1);
  const std::vector<FARPROC> values = SlotValues(api);
  ASSERT_EQ(values.size(), kSlotNames.size());
  for (size_t i = 0; i < values.size(); ++i) {
    EXPECT_EQ(values[i], HostExportFor(kSlotNames[i].name)) << kSlotNames[i].name;
  }
  EXPECT_NE(api.BKA_GetVersion, api.BKA_Command);
}

TEST_F(BeckyApiTest, LackingOnlyNextUnreadLeavesItsSlotEmpty) {
  standin::RemoveHostExport("BKA_NextUnread");
  CBeckyAPI api;
  EXPECT_EQ(api.Bind(), 1);
  EXPECT_EQ(api.BKA_NextUnread, nullptr);
  EXPECT_NE(api.BKA_SetStatus, nullptr);
  EXPECT_NE(api.BKA_Connect, nullptr);
}

TEST_F(BeckyApiTest, OldHostWithoutSetStatusIsAcceptedWithEmptySlot) {
  SetHostVersion("2.00.05");
  standin::RemoveHostExport("BKA_SetStatus");
  CBeckyAPI api;
  EXPECT_EQ(api.Bind(), 1);
  EXPECT_EQ(api.BKA_SetStatus, nullptr);
  EXPECT_NE(api.BKA_NextUnread, nullptr);
}

TEST_F(BeckyApiTest, NamesAreLookedUpWithTheirExactCase) {
  // A host spelling one name differently does not provide it.
  standin::RemoveHostExport("BKA_GetCurrentMailBox");
  standin::SetHostExport("BKA_GetCurrentMailbox", HostExportFor("BKA_GetCurrentMailbox"));
  standin::SetHostExport("bka_getcurrentmailbox", HostExportFor("bka_getcurrentmailbox"));
  CBeckyAPI api;
  EXPECT_EQ(api.Bind(), 0);
  EXPECT_EQ(standin::GetProcAddressCalls(), 9);
}

// --- States ----------------------------------------------------------------------------

TEST_F(BeckyApiTest, NoHostModuleRefusesWithoutLookups) {
  standin::SetHostModule(nullptr);
  CBeckyAPI api;
  EXPECT_EQ(api.Bind(), 0);
  EXPECT_FALSE(api.IsBound());
  EXPECT_EQ(standin::GetProcAddressCalls(), 0);
  EXPECT_EQ(HostGetVersionCalls(), 0);
}

TEST_F(BeckyApiTest, SecondBindAfterSuccessLooksNothingUp) {
  CBeckyAPI api;
  ASSERT_EQ(api.Bind(), 1);
  const int lookups = standin::GetProcAddressCalls();
  const std::vector<FARPROC> slots = SlotValues(api);
  ASSERT_EQ(HostGetVersionCalls(), 1);
  // Even a host that would now be refused: a bound table answers 1 at once.
  standin::RemoveHostExport("BKA_Connect");
  SetHostVersion("9.99.99");
  EXPECT_EQ(api.Bind(), 1);
  EXPECT_EQ(standin::GetProcAddressCalls(), lookups);
  EXPECT_EQ(HostGetVersionCalls(), 1);
  EXPECT_TRUE(api.IsBound());
  EXPECT_EQ(SlotValues(api), slots);
}

TEST_F(BeckyApiTest, RefusedByVersionGateLeavesUnboundAndLaterBindStartsOver) {
  standin::RemoveHostExport("BKA_SetStatus");
  CBeckyAPI api;
  EXPECT_EQ(api.Bind(), 0);
  EXPECT_FALSE(api.IsBound());
  EXPECT_EQ(standin::GetProcAddressCalls(), 56);

  standin::SetHostExport("BKA_SetStatus", HostExportFor("BKA_SetStatus"));
  EXPECT_EQ(api.Bind(), 1);
  EXPECT_TRUE(api.IsBound());
  EXPECT_EQ(standin::GetProcAddressCalls(), 112) << "a later Bind resolves the whole table again";
  EXPECT_EQ(HostGetVersionCalls(), 2);
  EXPECT_EQ(api.BKA_SetStatus, HostExportFor("BKA_SetStatus"));
}

TEST_F(BeckyApiTest, RefusedForMissingNameLeavesUnboundAndLaterBindStartsOver) {
  standin::RemoveHostExport("BKA_Connect");
  CBeckyAPI api;
  EXPECT_EQ(api.Bind(), 0);
  EXPECT_FALSE(api.IsBound());
  EXPECT_EQ(api.m_hHostModule, nullptr);
  EXPECT_EQ(standin::GetProcAddressCalls(), 54);

  // Still refused: a second attempt does the same lookups again, not fewer.
  EXPECT_EQ(api.Bind(), 0);
  EXPECT_EQ(standin::GetProcAddressCalls(), 108);

  standin::SetHostExport("BKA_Connect", HostExportFor("BKA_Connect"));
  EXPECT_EQ(api.Bind(), 1);
  EXPECT_EQ(standin::GetProcAddressCalls(), 108 + 56);
  EXPECT_EQ(HostGetVersionCalls(), 1);
}

TEST_F(BeckyApiTest, RefusedWithoutHostModuleThenBindsOnceThereIsOne) {
  standin::SetHostModule(nullptr);
  CBeckyAPI api;
  EXPECT_EQ(api.Bind(), 0);
  standin::SetHostModule(standin::FakeModule(1));
  EXPECT_EQ(api.Bind(), 1);
  EXPECT_EQ(api.m_hHostModule, standin::FakeModule(1));
}

TEST_F(BeckyApiTest, DestructionCallsNothingInTheHost) {
  {
    CBeckyAPI api;
    ASSERT_EQ(api.Bind(), 1);
  }
  // The fixture's host services fail the test if called; the version was asked once.
  EXPECT_EQ(HostGetVersionCalls(), 1);
}

}  // namespace
