// How tests configure and inspect the stand-in platform. Every model starts empty
// after Reset(); a call the current configuration does not cover aborts the test
// program with a message naming the call (a stand-in must never guess).
#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "standin/win32_standin.h"

namespace standin {
class Dialog;
}
// What an HWND points at in the stand-in: a dialog (id 0) or one of its controls.
struct StandinWindow {
  standin::Dialog* dialog;
  int id;
};

namespace standin {

// Puts every model back to its initial, empty state.
void Reset();

// Aborts with a message: the code under test made a call the stand-in does not model.
[[noreturn]] void Unexpected(const char* what, const std::string& detail = "");

// --- Modules --------------------------------------------------------------------
// The host executable's handle (what GetModuleHandleA(nullptr) returns) and its
// exports. Until SetHostModule, GetModuleHandleA(nullptr) answers nullptr.
HMODULE FakeModule(int n);  // distinct handles for tests: 1 = host, 2 = plug-in, ...
void SetHostModule(HMODULE module);
void SetHostExport(const std::string& name, FARPROC proc);
void RemoveHostExport(const std::string& name);
int GetProcAddressCalls();
// The path GetModuleFileNameA reports for `module` (copied and truncated as Windows
// does: at most size-1 characters and a NUL, returning size when truncated).
void SetModuleFileName(HMODULE module, const std::string& path);

// --- Heap -------------------------------------------------------------------------
// Allocation number n (1-based, counted from this call; HeapAlloc and HeapReAlloc
// both count) fails; 0 means none fails.
void FailAllocation(int n);
int AllocationCount();  // allocations attempted since Reset
int LiveBlocks();       // blocks allocated and not yet freed

// --- Profile files ----------------------------------------------------------------
int ProfileReadCalls();
int ProfileWriteCalls();

// --- Drives -----------------------------------------------------------------------
// The logical drives in the order the system lists them: root text and drive type.
void SetDrives(const std::vector<std::pair<std::string, UINT>>& drives);
int DriveListCalls();

// --- MCI --------------------------------------------------------------------------
struct MciCall {
  MCIDEVICEID device;
  UINT message;
  DWORD_PTR flags;
  bool hasParams;
  std::string deviceType;  // MCI_OPEN: the open record's device type
  bool hasElement;         // MCI_OPEN: the record names an element
  std::string element;
};
const std::vector<MciCall>& MciCalls();
// MCI_OPEN of this element (compared exactly) fails; "" fails the default device.
void FailMciOpen(const std::string& element);
// Renders the record as lines such as "open cdaudio D: 0x2202", "door-open 0x102".
std::vector<std::string> MciLog();

// --- Dialogs ----------------------------------------------------------------------
enum class ControlKind { AutoCheckBox, PushButton, Static, DropDownList };
struct ControlSpec {
  int id;
  ControlKind kind;
};
struct ControlState {
  int id = 0;
  ControlKind kind = ControlKind::Static;
  UINT check = BST_UNCHECKED;
  bool enabled = true;
  std::vector<std::string> items;
  int selection = CB_ERR;
};
// A modal dialog as DialogBoxParamA creates it from a registered template.
class Dialog {
 public:
  Dialog(const std::vector<ControlSpec>& controls, DLGPROC proc);
  Dialog(const Dialog&) = delete;
  Dialog& operator=(const Dialog&) = delete;

  HWND Handle();
  HWND ControlHandle(int id);  // nullptr when the template has no such control
  ControlState& Control(int id);
  // Sends a message to the dialog procedure.
  INT_PTR Send(UINT message, WPARAM wParam, LPARAM lParam);
  // What a user's click does: an auto check box toggles, then the dialog procedure
  // receives WM_COMMAND with the control's id.
  INT_PTR Click(int id);

  bool enabled = true;
  bool ended = false;
  INT_PTR result = 0;

 private:
  DLGPROC proc_;
  std::vector<ControlState> controls_;
  std::vector<StandinWindow> windows_;  // [0] is the dialog, then one per control
};
void RegisterDialogTemplate(const std::string& name, const std::vector<ControlSpec>& controls);
// Runs while DialogBoxParamA shows the dialog, after WM_INITDIALOG: plays the user.
// DialogBoxParamA returns what EndDialog was given, or -1 when the dialog never ended.
void SetDialogUser(std::function<void(Dialog&)> user);
// A dialog created outside DialogBoxParamA, for driving a procedure's routines
// directly; it lives until Reset.
Dialog& CreateDialog(const std::string& templateName, DLGPROC proc);
int DialogBoxCalls();

}  // namespace standin
