// Fuzz target: sequences of TnString operations checked step by step against a
// std::string model: the content and length, the growth rule (storage grows, by one
// allocation, exactly when the result needs as many characters as the capacity, to
// that need plus the slack), the strong guarantee when an injected allocation
// failure makes an operation throw, texts taken from the object's own storage, and
// no storage left behind once the object is gone.
#include <cstring>
#include <string>
#include <vector>

#include "base/tn_string.h"
#include "fuzz_check.h"
#include "fuzz_input.h"
#include "standin/standin_control.h"

namespace {

using fuzz_support::FuzzInput;

enum Op {
  kAssign,
  kAssignNull,
  kAssignOwnTail,
  kAppend,
  kAppendNull,
  kAppendOwnTail,
  kAppendChar,
  kSetLength,
  kSetNegativeLength,
  kAddComboItem,
  kLoadComboItem,
  kFailNextAllocation,
  kOpCount
};

constexpr int kComboId = 1003;
constexpr int kNoGrowth = -1;
constexpr size_t kLongestText = 1 << 16;

// The text a C function sees: up to the first NUL.
std::string AsCText(const std::string& bytes) { return std::string(bytes.c_str()); }

void CheckMatchesModel(TnString& s, const std::string& model) {
  FUZZ_CHECK(s.GetLength() == static_cast<int>(model.size()));
  FUZZ_CHECK(std::strlen(s.GetText()) == model.size());
  FUZZ_CHECK(std::memcmp(s.GetText(), model.data(), model.size()) == 0);
  if (s.GetCapacity() == 0) {
    FUZZ_CHECK(s.GetBuffer() == nullptr);
    FUZZ_CHECK(model.empty());
  } else {
    FUZZ_CHECK(s.GetBuffer() == s.GetText());
    FUZZ_CHECK(s.GetCapacity() > s.GetLength());
  }
}

class Session {
 public:
  explicit Session(FuzzInput& in) : in_(in) {
    standin::RegisterDialogTemplate("combo", {{kComboId, standin::ControlKind::DropDownList}});
    combo_ = standin::CreateDialog("combo", nullptr).ControlHandle(kComboId);
  }

  void Step() {
    const int op = in_.Byte() % kOpCount;
    if (op == kFailNextAllocation) {
      failNext_ = true;
      return;
    }
    const bool failArmed = failNext_;
    failNext_ = false;

    const int capacityBefore = s_.GetCapacity();
    const int allocationsBefore = standin::AllocationCount();
    const int liveBefore = standin::LiveBlocks();
    std::string next = model_;
    int needed = kNoGrowth;  // characters the result needs storage for
    bool mustThrow = false;
    bool threw = false;

    if (failArmed) standin::FailAllocation(1);
    try {
      Apply(op, next, needed, mustThrow);
    } catch (const TnStringError& e) {
      FUZZ_CHECK(e.code == TnString::kOutOfMemory);
      threw = true;
    }
    standin::FailAllocation(0);

    const bool grows = needed != kNoGrowth && needed >= capacityBefore;
    if (threw) {
      FUZZ_CHECK(mustThrow || (failArmed && grows));
      FUZZ_CHECK(s_.GetCapacity() == capacityBefore);
      FUZZ_CHECK(standin::LiveBlocks() == liveBefore);
      CheckMatchesModel(s_, model_);
      return;
    }
    FUZZ_CHECK(!mustThrow && !(failArmed && grows));
    model_ = next;
    CheckMatchesModel(s_, model_);
    FUZZ_CHECK(standin::AllocationCount() - allocationsBefore == (grows ? 1 : 0));
    FUZZ_CHECK(s_.GetCapacity() == (grows ? needed + TnString::kSlack : capacityBefore));
  }

 private:
  void Apply(int op, std::string& next, int& needed, bool& mustThrow) {
    const int length = s_.GetLength();
    switch (op) {
      case kAssign: {
        const std::string bytes = in_.Bytes();
        next = AsCText(bytes);
        needed = static_cast<int>(next.size());
        CheckReturnsContent(s_.Assign(bytes.c_str()));
        break;
      }
      case kAssignNull:
        next.clear();
        CheckReturnsContent(s_.Assign(nullptr));
        break;
      case kAssignOwnTail: {
        const int offset = in_.Byte() % (length + 1);
        next = model_.substr(static_cast<size_t>(offset));
        needed = static_cast<int>(next.size());
        CheckReturnsContent(s_.Assign(s_.GetText() + offset));
        break;
      }
      case kAppend: {
        const std::string bytes = in_.Bytes();
        next = model_ + AsCText(bytes);
        needed = static_cast<int>(next.size());
        s_.Append(bytes.c_str());
        break;
      }
      case kAppendNull:
        s_.Append(nullptr);
        break;
      case kAppendOwnTail: {
        const int offset = in_.Byte() % (length + 1);
        if (model_.size() > kLongestText) break;  // repeated, it doubles the text
        next = model_ + model_.substr(static_cast<size_t>(offset));
        needed = static_cast<int>(next.size());
        s_.Append(s_.GetText() + offset);
        break;
      }
      case kAppendChar: {
        const char c = static_cast<char>(in_.Byte());
        if (c != '\0') next += c;
        needed = static_cast<int>(next.size());
        s_.AppendChar(c);
        break;
      }
      case kSetLength: {
        const int n = in_.Byte() | ((in_.Byte() & 3) << 8);
        const char fill = static_cast<char>(in_.Byte() | 1);  // never a NUL
        needed = n;
        next.assign(static_cast<size_t>(n), fill);
        s_.SetLength(n);
        std::memset(s_.GetBuffer(), fill, static_cast<size_t>(n));
        s_.GetBuffer()[n] = '\0';
        break;
      }
      case kSetNegativeLength:
        mustThrow = true;
        s_.SetLength(-1 - in_.Byte());
        break;
      case kAddComboItem: {
        const std::string item = AsCText(in_.Bytes());
        items_.push_back(item);
        FUZZ_CHECK(SendMessageA(combo_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str())) ==
                   static_cast<LRESULT>(items_.size() - 1));
        break;
      }
      case kLoadComboItem: {
        const int index = static_cast<int>(in_.Byte()) - 2;
        const bool exists = index >= 0 && index < static_cast<int>(items_.size());
        next = exists ? items_[static_cast<size_t>(index)] : std::string();
        needed = static_cast<int>(next.size());
        s_.LoadComboItem(combo_, index);
        break;
      }
    }
  }

  void CheckReturnsContent(LPCSTR result) { FUZZ_CHECK(result == s_.GetText()); }

  FuzzInput& in_;
  TnString s_;
  std::string model_;
  std::vector<std::string> items_;
  HWND combo_ = nullptr;
  bool failNext_ = false;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  standin::Reset();
  FuzzInput in(data, size);
  {
    Session session(in);
    while (!in.Done()) session.Step();
  }
  FUZZ_CHECK(standin::LiveBlocks() == 0);
  return 0;
}
