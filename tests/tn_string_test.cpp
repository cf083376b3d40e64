// TnString: growth slack and the >= test, the shared empty text, Assign /
// Append / AppendChar, null texts, aliasing of the object's own storage, sizes that
// would overflow, allocation failures that leave the object unchanged, the combo-box
// loader, and no leaked storage.
#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <cstring>
#include <string>

#include "base/tn_string.h"
#include "standin/standin_control.h"

namespace {

constexpr int kComboId = 100;

INT_PTR CALLBACK NoDialogProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

class TnStringTest : public ::testing::Test {
 protected:
  void SetUp() override { standin::Reset(); }
  void TearDown() override { EXPECT_EQ(standin::LiveBlocks(), 0) << "TnString storage leaked"; }

  // A stand-in dialog with one drop-down list holding `items`; returns the combo box.
  HWND MakeCombo(const std::vector<std::string>& items) {
    standin::RegisterDialogTemplate("TEST_COMBO", {{kComboId, standin::ControlKind::DropDownList}});
    standin::Dialog& dialog = standin::CreateDialog("TEST_COMBO", NoDialogProc);
    for (const std::string& item : items) {
      SendDlgItemMessageA(dialog.Handle(), kComboId, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
    }
    return dialog.ControlHandle(kComboId);
  }
};

// The object as it is: text, length and capacity.
struct Snapshot {
  std::string text;
  int length;
  int capacity;
  LPCSTR storage;
};
Snapshot Take(const TnString& s) { return {s.GetText(), s.GetLength(), s.GetCapacity(), s.GetText()}; }
void ExpectSame(const Snapshot& before, const TnString& s) {
  EXPECT_EQ(std::string(s.GetText()), before.text);
  EXPECT_EQ(s.GetLength(), before.length);
  EXPECT_EQ(s.GetCapacity(), before.capacity);
  EXPECT_EQ(s.GetText(), before.storage) << "storage moved";
}

// Runs `op` and checks that it throws TnStringError carrying the code 1.
template <typename Op>
void ExpectStorageError(Op op) {
  try {
    op();
    ADD_FAILURE() << "no TnStringError thrown";
  } catch (const TnStringError& e) {
    EXPECT_EQ(e.code, 1);
  }
}

// --- Empty text and first storage ------------------------------------------------

TEST_F(TnStringTest, NewObjectIsEmptyAndAllocatesNothing) {
  TnString a;
  TnString b;
  EXPECT_STREQ(a.GetText(), "");
  EXPECT_EQ(a.GetLength(), 0);
  EXPECT_EQ(a.GetCapacity(), 0);
  EXPECT_EQ(a.GetBuffer(), nullptr);
  EXPECT_EQ(a.GetText(), b.GetText()) << "both must hand out the one shared empty text";
  EXPECT_EQ(standin::AllocationCount(), 0);
  EXPECT_EQ(standin::LiveBlocks(), 0);
}

TEST_F(TnStringTest, AssignEmptyOnNewObjectAllocatesTwentyBytes) {
  TnString s;
  LPCSTR r = s.Assign("");
  EXPECT_STREQ(s.GetText(), "");
  EXPECT_EQ(s.GetLength(), 0);
  EXPECT_EQ(s.GetCapacity(), 20);
  EXPECT_EQ(r, s.GetBuffer());
  EXPECT_EQ(standin::AllocationCount(), 1);
  EXPECT_EQ(standin::LiveBlocks(), 1);
}

TEST_F(TnStringTest, AppendEmptyOnNewObjectAllocatesTwentyBytes) {
  TnString s;
  s.Append("");
  EXPECT_STREQ(s.GetText(), "");
  EXPECT_EQ(s.GetLength(), 0);
  EXPECT_EQ(s.GetCapacity(), 20);
  EXPECT_NE(s.GetBuffer(), nullptr);
  EXPECT_EQ(standin::AllocationCount(), 1);
}

TEST_F(TnStringTest, GetTextIsTheStorageOnceItExists) {
  TnString s;
  s.Assign("abc");
  EXPECT_EQ(s.GetText(), s.GetBuffer());
}

// --- Growth slack and the >= test -------------------------------------------------

TEST_F(TnStringTest, AppendingDriveRootGivesCapacity23ThenKeepsIt) {
  TnString s;
  s.Append("D:\\");
  EXPECT_EQ(s.GetLength(), 3);
  EXPECT_EQ(s.GetCapacity(), 23);
  s.AppendChar(' ');
  EXPECT_EQ(s.GetLength(), 4);
  EXPECT_EQ(s.GetCapacity(), 23);
  EXPECT_STREQ(s.GetText(), "D:\\ ");
  EXPECT_EQ(standin::AllocationCount(), 1);
}

TEST_F(TnStringTest, AppendReachingCapacityExactlyGrows) {
  TnString s;
  s.Assign("");                  // capacity 20
  s.Append("12345678901234567");  // length 17, fits
  ASSERT_EQ(s.GetLength(), 17);
  ASSERT_EQ(s.GetCapacity(), 20);
  s.Append("abc");  // 20 >= 20: grows
  EXPECT_EQ(s.GetLength(), 20);
  EXPECT_EQ(s.GetCapacity(), 40);
  EXPECT_STREQ(s.GetText(), "12345678901234567abc");
}

TEST_F(TnStringTest, AppendJustBelowCapacityDoesNotGrow) {
  TnString s;
  s.Assign("");
  s.Append("1234567890123456789");  // 19 < 20
  EXPECT_EQ(s.GetCapacity(), 20);
  EXPECT_EQ(standin::AllocationCount(), 1);
  s.AppendChar('x');  // 20 >= 20
  EXPECT_EQ(s.GetCapacity(), 40);
  EXPECT_EQ(standin::AllocationCount(), 2);
}

TEST_F(TnStringTest, SetLengthGrowsAtCapacityAndKeepsBytes) {
  TnString s;
  s.Assign("keep");  // capacity 24
  ASSERT_EQ(s.GetCapacity(), 24);
  s.SetLength(23);  // 23 < 24: no growth
  EXPECT_EQ(s.GetCapacity(), 24);
  EXPECT_EQ(s.GetLength(), 23);
  EXPECT_EQ(standin::AllocationCount(), 1);
  s.SetLength(24);  // 24 >= 24: grows to 44
  EXPECT_EQ(s.GetCapacity(), 44);
  EXPECT_EQ(s.GetLength(), 24);
  EXPECT_EQ(std::memcmp(s.GetBuffer(), "keep", 4), 0) << "growth must keep the existing bytes";
}

TEST_F(TnStringTest, SetLengthFromNothingAllocatesNPlusTwenty) {
  TnString s;
  s.SetLength(0);
  EXPECT_EQ(s.GetCapacity(), 20);
  EXPECT_EQ(s.GetLength(), 0);
  TnString t;
  t.SetLength(5);
  EXPECT_EQ(t.GetCapacity(), 25);
  EXPECT_EQ(t.GetLength(), 5);
}

TEST_F(TnStringTest, OneCharacterAppendsGrowAtMostOncePerTwentyCharacters) {
  TnString s;
  std::string expect;
  for (int i = 0; i < 100; ++i) {
    const char c = static_cast<char>('a' + i % 26);
    s.AppendChar(c);
    expect += c;
  }
  EXPECT_EQ(std::string(s.GetText()), expect);
  EXPECT_EQ(s.GetLength(), 100);
  // Lengths 1, 21, 41, 61 and 81 each need new storage: 5 allocations for 100 characters.
  EXPECT_EQ(standin::AllocationCount(), 5);
  EXPECT_EQ(s.GetCapacity(), 101);
  EXPECT_EQ(standin::LiveBlocks(), 1) << "old storage must be freed on growth";
}

// --- Assign, Append, AppendChar ---------------------------------------------------

TEST_F(TnStringTest, AssignReplacesAndReturnsTheContent) {
  TnString s;
  LPCSTR r = s.Assign("hello");
  EXPECT_EQ(r, s.GetBuffer());
  EXPECT_STREQ(r, "hello");
  EXPECT_EQ(s.GetLength(), 5);
  EXPECT_EQ(s.GetCapacity(), 25);
  r = s.Assign("hi");  // shorter: same storage
  EXPECT_STREQ(s.GetText(), "hi");
  EXPECT_EQ(s.GetLength(), 2);
  EXPECT_EQ(s.GetCapacity(), 25);
  EXPECT_EQ(r, s.GetBuffer());
  EXPECT_EQ(standin::AllocationCount(), 1);
  s.Assign("a text of thirty characters...");  // 30 >= 25: grows to 50
  EXPECT_EQ(s.GetLength(), 30);
  EXPECT_EQ(s.GetCapacity(), 50);
  EXPECT_EQ(standin::LiveBlocks(), 1);
}

TEST_F(TnStringTest, AssignOfLengthEqualToCapacityGrows) {
  TnString s;
  s.Assign("");  // capacity 20
  s.Assign("12345678901234567890");  // 20 >= 20
  EXPECT_EQ(s.GetCapacity(), 40);
  EXPECT_STREQ(s.GetText(), "12345678901234567890");
}

TEST_F(TnStringTest, AppendConcatenates) {
  TnString s;
  s.Append("D:\\ ");
  s.Append("E:\\ ");
  s.Append("");
  EXPECT_STREQ(s.GetText(), "D:\\ E:\\ ");
  EXPECT_EQ(s.GetLength(), 8);
}

TEST_F(TnStringTest, AppendCharAppendsOneCharacterIncludingHighBytes) {
  TnString s;
  s.AppendChar('\x91');
  s.AppendChar('\x53');
  s.AppendChar('\x82');
  s.AppendChar('\xC4');
  EXPECT_STREQ(s.GetText(), "\x91\x53\x82\xC4");
  EXPECT_EQ(s.GetLength(), 4);
}

TEST_F(TnStringTest, AppendCharOfNulLeavesContentUnchanged) {
  TnString s;
  s.Assign("abc");
  const Snapshot before = Take(s);
  s.AppendChar('\0');
  ExpectSame(before, s);
}

TEST_F(TnStringTest, AppendNullChangesNothing) {
  TnString fresh;
  fresh.Append(nullptr);
  EXPECT_EQ(fresh.GetCapacity(), 0);
  EXPECT_EQ(standin::AllocationCount(), 0);
  TnString s;
  s.Assign("abc");
  const Snapshot before = Take(s);
  s.Append(nullptr);
  ExpectSame(before, s);
}

TEST_F(TnStringTest, AssignNullOnNewObjectReturnsSharedEmptyText) {
  TnString s;
  TnString other;
  LPCSTR r = s.Assign(nullptr);
  EXPECT_STREQ(r, "");
  EXPECT_EQ(r, other.GetText());
  EXPECT_EQ(s.GetCapacity(), 0);
  EXPECT_EQ(standin::AllocationCount(), 0);
}

TEST_F(TnStringTest, AssignNullKeepsStorageAndEmptiesText) {
  TnString s;
  s.Assign("some text");
  LPSTR storage = s.GetBuffer();
  const int capacity = s.GetCapacity();
  LPCSTR r = s.Assign(nullptr);
  EXPECT_EQ(r, storage);
  EXPECT_EQ(s.GetBuffer(), storage);
  EXPECT_EQ(s.GetCapacity(), capacity);
  EXPECT_EQ(s.GetLength(), 0);
  EXPECT_STREQ(s.GetText(), "");
  EXPECT_EQ(standin::LiveBlocks(), 1);
}

TEST_F(TnStringTest, CompareUsesLstrcmpA) {
  TnString s;
  EXPECT_EQ(s.Compare(""), 0);
  EXPECT_LT(s.Compare("a"), 0);
  s.Assign("\x91\x53\x82\xC4");
  EXPECT_EQ(s.Compare("\x91\x53\x82\xC4"), 0);
  s.Assign("d:\\");
  EXPECT_NE(s.Compare("D:\\"), 0);
  EXPECT_EQ(s.CompareNoCase("D:\\"), 0);
  EXPECT_LT(s.CompareNoCase("E:\\"), 0);
}

// --- Aliasing: texts inside the object's own storage -------------------------------

TEST_F(TnStringTest, AppendOwnTextWithoutGrowth) {
  TnString s;
  s.Assign("abc");  // capacity 23
  s.Append(s.GetText());
  EXPECT_STREQ(s.GetText(), "abcabc");
  EXPECT_EQ(s.GetLength(), 6);
  EXPECT_EQ(s.GetCapacity(), 23);
}

TEST_F(TnStringTest, AppendOwnTextThatForcesGrowth) {
  TnString s;
  s.Assign("");
  s.Append("0123456789ABCDE");  // length 15 in capacity 20
  LPCSTR old = s.GetBuffer();
  s.Append(s.GetText());  // 30 >= 20: the source lies in the storage being replaced
  EXPECT_NE(s.GetText(), old);
  EXPECT_STREQ(s.GetText(), "0123456789ABCDE0123456789ABCDE");
  EXPECT_EQ(s.GetLength(), 30);
  EXPECT_EQ(s.GetCapacity(), 50);
  EXPECT_EQ(standin::LiveBlocks(), 1);
}

TEST_F(TnStringTest, AppendTailOfOwnTextAfterGrowth) {
  TnString s;
  for (int i = 0; i < 45; ++i) s.AppendChar(static_cast<char>('a' + i % 26));  // has grown twice
  const std::string before = s.GetText();
  ASSERT_EQ(s.GetCapacity(), 61);
  s.Append(s.GetText() + 30);  // 15 characters: 60 >= 61? no: no growth
  EXPECT_EQ(std::string(s.GetText()), before + before.substr(30));
  s.Append(s.GetText() + 10);  // 50 characters: 110 >= 61: grows
  const std::string once = before + before.substr(30);
  EXPECT_EQ(std::string(s.GetText()), once + once.substr(10));
  EXPECT_EQ(s.GetLength(), 110);
  EXPECT_EQ(s.GetCapacity(), 130);
}

TEST_F(TnStringTest, AssignOwnTextAndItsTail) {
  TnString s;
  s.Assign("abcdef");
  s.Assign(s.GetText());
  EXPECT_STREQ(s.GetText(), "abcdef");
  EXPECT_EQ(s.GetLength(), 6);
  s.Assign(s.GetText() + 2);
  EXPECT_STREQ(s.GetText(), "cdef");
  EXPECT_EQ(s.GetLength(), 4);
}

TEST_F(TnStringTest, AssignTailOfOwnTextAfterGrowth) {
  TnString s;
  s.Assign("");
  for (int i = 0; i < 3; ++i) s.Append("0123456789ABCDEFGHIJ");  // grown twice, length 60
  LPCSTR storage = s.GetBuffer();
  s.Assign(s.GetText() + 41);
  EXPECT_STREQ(s.GetText(), "123456789ABCDEFGHIJ");
  EXPECT_EQ(s.GetLength(), 19);
  EXPECT_EQ(s.GetBuffer(), storage);
  s.Append(s.GetText());  // 38 < 80: within the grown storage
  EXPECT_STREQ(s.GetText(), "123456789ABCDEFGHIJ123456789ABCDEFGHIJ");
}

TEST_F(TnStringTest, AssignFromAnotherObjectsStorage) {
  TnString a;
  TnString b;
  a.Assign("a text that is longer than twenty");
  b.Assign("x");
  b.Assign(a.GetText());
  EXPECT_STREQ(b.GetText(), a.GetText());
  EXPECT_NE(b.GetText(), a.GetText());
}

// --- Sizes that would overflow -----------------------------------------------------

TEST_F(TnStringTest, SetLengthBeyondIntRangeThrowsCodeOne) {
  TnString s;
  s.Assign("abc");
  const Snapshot before = Take(s);
  ExpectStorageError([&] { s.SetLength(INT_MAX); });
  ExpectSame(before, s);
  ExpectStorageError([&] { s.SetLength(INT_MAX - 19); });  // INT_MAX - 19 + 20 overflows
  ExpectSame(before, s);
  ExpectStorageError([&] { s.SetLength(-1); });
  ExpectSame(before, s);
  ExpectStorageError([&] { s.SetLength(INT_MIN); });
  ExpectSame(before, s);
  EXPECT_EQ(standin::AllocationCount(), 1) << "no storage may be asked for an impossible size";
}

TEST_F(TnStringTest, SetLengthOverflowOnNewObjectLeavesItEmpty) {
  TnString s;
  ExpectStorageError([&] { s.SetLength(INT_MAX); });
  EXPECT_EQ(s.GetCapacity(), 0);
  EXPECT_EQ(s.GetLength(), 0);
  EXPECT_STREQ(s.GetText(), "");
  EXPECT_EQ(standin::AllocationCount(), 0);
}

TEST_F(TnStringTest, AppendWhoseLengthWouldOverflowThrowsCodeOne) {
  // A length near INT_MAX needs real storage of that size; the address space is
  // reserved but only the first page is touched. Skip where the system refuses.
  void* probe = std::malloc(static_cast<std::size_t>(INT_MAX));
  if (!probe) GTEST_SKIP() << "cannot reserve 2 GB here";
  std::free(probe);

  TnString s;
  s.SetLength(INT_MAX - 25);  // capacity INT_MAX - 5
  s.GetBuffer()[0] = '\0';
  ASSERT_EQ(s.GetCapacity(), INT_MAX - 5);
  const Snapshot before = Take(s);
  const int attempts = standin::AllocationCount();
  ExpectStorageError([&] { s.Append("abcdefgh"); });  // INT_MAX - 17 + 20 overflows
  ExpectSame(before, s);
  EXPECT_EQ(standin::AllocationCount() - attempts, 0) << "no storage may be asked for an impossible size";
}

// --- Allocation failures: the object stays as it was --------------------------------

TEST_F(TnStringTest, FailedFirstAllocationInAssignLeavesObjectEmpty) {
  TnString s;
  standin::FailAllocation(1);
  ExpectStorageError([&] { s.Assign("hello"); });
  EXPECT_EQ(s.GetCapacity(), 0);
  EXPECT_EQ(s.GetLength(), 0);
  EXPECT_EQ(s.GetBuffer(), nullptr);
  EXPECT_STREQ(s.GetText(), "");
  EXPECT_EQ(standin::LiveBlocks(), 0);
  s.Assign("works again");  // the next allocation succeeds
  EXPECT_STREQ(s.GetText(), "works again");
}

TEST_F(TnStringTest, FailedGrowthInAssignKeepsOldContent) {
  TnString s;
  s.Assign("abc");
  const Snapshot before = Take(s);
  standin::FailAllocation(1);
  ExpectStorageError([&] { s.Assign("a text long enough to need new storage"); });
  ExpectSame(before, s);
  EXPECT_EQ(standin::LiveBlocks(), 1);
}

TEST_F(TnStringTest, FailedGrowthInAppendKeepsOldContent) {
  TnString s;
  s.Assign("abc");
  const Snapshot before = Take(s);
  standin::FailAllocation(1);
  ExpectStorageError([&] { s.Append("a text long enough to need new storage"); });
  ExpectSame(before, s);
  EXPECT_EQ(standin::LiveBlocks(), 1);
}

TEST_F(TnStringTest, FailedFirstAllocationInAppendLeavesObjectEmpty) {
  TnString s;
  standin::FailAllocation(1);
  ExpectStorageError([&] { s.Append("D:\\"); });
  EXPECT_EQ(s.GetCapacity(), 0);
  EXPECT_EQ(s.GetBuffer(), nullptr);
}

TEST_F(TnStringTest, FailedGrowthInAppendCharKeepsOldContent) {
  TnString s;
  s.Assign("");
  s.Append("1234567890123456789");  // 19 in 20
  const Snapshot before = Take(s);
  standin::FailAllocation(1);
  ExpectStorageError([&] { s.AppendChar('x'); });
  ExpectSame(before, s);
}

TEST_F(TnStringTest, FailedReallocationInSetLengthKeepsOldContent) {
  TnString s;
  s.Assign("abc");
  const Snapshot before = Take(s);
  standin::FailAllocation(1);
  ExpectStorageError([&] { s.SetLength(500); });
  ExpectSame(before, s);
}

TEST_F(TnStringTest, FailedAllocationInSetLengthOnNewObject) {
  TnString s;
  standin::FailAllocation(1);
  ExpectStorageError([&] { s.SetLength(10); });
  EXPECT_EQ(s.GetCapacity(), 0);
  EXPECT_EQ(s.GetLength(), 0);
  EXPECT_STREQ(s.GetText(), "");
}

TEST_F(TnStringTest, UnwindingFreesTheStorageOfLocalObjects) {
  auto work = [] {
    TnString a;
    a.Assign("first local");
    TnString b;
    b.Assign("second");
    b.Append(" and a long tail that needs new storage");  // fails
  };
  standin::FailAllocation(3);
  ExpectStorageError(work);
  EXPECT_EQ(standin::LiveBlocks(), 0);
}

// --- LoadComboItem ------------------------------------------------------------------

TEST_F(TnStringTest, LoadComboItemReplacesContentWithItem) {
  HWND combo = MakeCombo({"\x83\x66\x83\x74\x83\x48\x83\x8B\x83\x67", "D:\\", "\x91\x53\x82\xC4"});
  TnString s;
  s.Assign("old content");
  s.LoadComboItem(combo, 1);
  EXPECT_STREQ(s.GetText(), "D:\\");
  EXPECT_EQ(s.GetLength(), 3);
  s.LoadComboItem(combo, 2);
  EXPECT_STREQ(s.GetText(), "\x91\x53\x82\xC4");
  EXPECT_EQ(s.GetLength(), 4);
  s.LoadComboItem(combo, 0);
  EXPECT_STREQ(s.GetText(), "\x83\x66\x83\x74\x83\x48\x83\x8B\x83\x67");
  EXPECT_EQ(s.GetLength(), 10);
}

TEST_F(TnStringTest, LoadComboItemOnNewObjectSizesToItemPlusSlack) {
  HWND combo = MakeCombo({"D:\\"});
  TnString s;
  s.LoadComboItem(combo, 0);
  EXPECT_STREQ(s.GetText(), "D:\\");
  EXPECT_EQ(s.GetLength(), 3);
  EXPECT_EQ(s.GetCapacity(), 23);
}

TEST_F(TnStringTest, LoadComboItemGrowsForLongItem) {
  const std::string longItem(100, 'x');
  HWND combo = MakeCombo({longItem});
  TnString s;
  s.Assign("short");
  s.LoadComboItem(combo, 0);
  EXPECT_EQ(std::string(s.GetText()), longItem);
  EXPECT_EQ(s.GetLength(), 100);
  EXPECT_EQ(s.GetCapacity(), 120);
}

TEST_F(TnStringTest, LoadComboItemOfEmptyItem) {
  HWND combo = MakeCombo({""});
  TnString s;
  s.Assign("old");
  s.LoadComboItem(combo, 0);
  EXPECT_STREQ(s.GetText(), "");
  EXPECT_EQ(s.GetLength(), 0);
}

TEST_F(TnStringTest, LoadComboItemWithIndexTheComboLacksLeavesEmptyText) {
  HWND combo = MakeCombo({"D:\\", "E:\\"});
  for (int index : {2, 5, -1, INT_MAX, INT_MIN}) {
    SCOPED_TRACE("index " + std::to_string(index));
    TnString s;
    s.Assign("previous content");
    s.LoadComboItem(combo, index);
    EXPECT_STREQ(s.GetText(), "");
    EXPECT_EQ(s.GetLength(), 0);
    EXPECT_GT(s.GetCapacity(), s.GetLength());
  }
  TnString fresh;
  fresh.LoadComboItem(MakeCombo({}), 0);
  EXPECT_STREQ(fresh.GetText(), "");
  EXPECT_EQ(fresh.GetLength(), 0);
}

TEST_F(TnStringTest, LoadComboItemAllocationFailureKeepsOldContent) {
  HWND combo = MakeCombo({"a long item that needs more storage than before"});
  TnString s;
  s.Assign("abc");
  const Snapshot before = Take(s);
  standin::FailAllocation(1);
  ExpectStorageError([&] { s.LoadComboItem(combo, 0); });
  ExpectSame(before, s);
}

// --- Storage is freed --------------------------------------------------------------

TEST_F(TnStringTest, DestructionFreesStorage) {
  {
    TnString a;
    a.Assign("x");
    TnString b;
    for (int i = 0; i < 70; ++i) b.AppendChar('y');
    TnString c;
    c.Assign(nullptr);
    EXPECT_EQ(standin::LiveBlocks(), 2);
  }
  EXPECT_EQ(standin::LiveBlocks(), 0);
}

}  // namespace
