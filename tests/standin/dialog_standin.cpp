// Stand-in dialog manager: one modal dialog at a time, built from a registered list
// of controls. Models check boxes (state, auto toggle on click), drop-down lists
// (items in order of adding, unsorted; current selection) and enabled states, behind
// the same calls the plug-in makes. Combo-box answers follow MSDN: CB_ADDSTRING gives
// the new index, CB_SETCURSEL with a bad index clears the selection and gives CB_ERR,
// CB_GETLBTEXTLEN and CB_GETLBTEXT give CB_ERR for a bad index.
#include <cstring>
#include <map>
#include <memory>

#include "standin/standin_control.h"
#include "standin/standin_internal.h"

namespace standin {
namespace {
std::map<std::string, std::vector<ControlSpec>> templates;
std::vector<std::unique_ptr<Dialog>> dialogs;
std::function<void(Dialog&)> user;
int dialogBoxCalls = 0;

Dialog& DialogOf(HWND window) {
  if (!window) Unexpected("a window call on a null window");
  return *window->dialog;
}
}  // namespace

Dialog::Dialog(const std::vector<ControlSpec>& controls, DLGPROC proc) : proc_(proc) {
  windows_.push_back({this, 0});
  for (const ControlSpec& control : controls) {
    ControlState state;
    state.id = control.id;
    state.kind = control.kind;
    controls_.push_back(state);
    windows_.push_back({this, control.id});
  }
}

HWND Dialog::Handle() { return &windows_[0]; }

HWND Dialog::ControlHandle(int id) {
  for (size_t i = 0; i < controls_.size(); ++i) {
    if (controls_[i].id == id) return &windows_[i + 1];
  }
  return nullptr;
}

ControlState& Dialog::Control(int id) {
  for (ControlState& c : controls_) {
    if (c.id == id) return c;
  }
  Unexpected("a dialog control the template does not have", std::to_string(id));
}

INT_PTR Dialog::Send(UINT message, WPARAM wParam, LPARAM lParam) {
  return proc_(Handle(), message, wParam, lParam);
}

INT_PTR Dialog::Click(int id) {
  ControlState& c = Control(id);
  if (c.kind == ControlKind::AutoCheckBox) c.check = c.check == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED;
  return Send(WM_COMMAND, static_cast<WPARAM>(id), reinterpret_cast<LPARAM>(ControlHandle(id)));
}

void ResetDialogs() {
  templates.clear();
  dialogs.clear();
  user = nullptr;
  dialogBoxCalls = 0;
}

void RegisterDialogTemplate(const std::string& name, const std::vector<ControlSpec>& controls) {
  templates[name] = controls;
}
void SetDialogUser(std::function<void(Dialog&)> play) { user = std::move(play); }
int DialogBoxCalls() { return dialogBoxCalls; }

Dialog& CreateDialog(const std::string& templateName, DLGPROC proc) {
  auto it = templates.find(templateName);
  if (it == templates.end()) Unexpected("no dialog template", templateName);
  dialogs.push_back(std::make_unique<Dialog>(it->second, proc));
  return *dialogs.back();
}

}  // namespace standin

using standin::ControlKind;
using standin::DialogOf;

INT_PTR WINAPI DialogBoxParamA(HINSTANCE, LPCSTR templateName, HWND, DLGPROC proc, LPARAM param) {
  ++standin::dialogBoxCalls;
  if (reinterpret_cast<std::uintptr_t>(templateName) < 0x10000) standin::Unexpected("a numbered dialog template");
  standin::Dialog& dialog = standin::CreateDialog(templateName, proc);
  dialog.Send(WM_INITDIALOG, 0, param);
  if (!dialog.ended && standin::user) standin::user(dialog);
  return dialog.ended ? dialog.result : -1;
}

BOOL WINAPI EndDialog(HWND window, INT_PTR result) {
  standin::Dialog& dialog = DialogOf(window);
  if (window->id != 0) standin::Unexpected("EndDialog on a control");
  dialog.ended = true;
  dialog.result = result;
  return TRUE;
}

HWND WINAPI GetDlgItem(HWND window, int id) { return DialogOf(window).ControlHandle(id); }

LRESULT WINAPI SendDlgItemMessageA(HWND window, int id, UINT message, WPARAM wParam, LPARAM lParam) {
  HWND control = GetDlgItem(window, id);
  if (!control) standin::Unexpected("SendDlgItemMessageA to a missing control", std::to_string(id));
  return SendMessageA(control, message, wParam, lParam);
}

LRESULT WINAPI SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  standin::ControlState& c = DialogOf(window).Control(window->id);
  if (c.kind != ControlKind::DropDownList) standin::Unexpected("SendMessageA to a control that is not a combo box");
  const auto index = static_cast<std::intptr_t>(wParam);
  const bool valid = index >= 0 && index < static_cast<std::intptr_t>(c.items.size());
  switch (message) {
    case CB_ADDSTRING:
      c.items.emplace_back(reinterpret_cast<LPCSTR>(lParam));
      return static_cast<LRESULT>(c.items.size() - 1);
    case CB_SETCURSEL:
      c.selection = valid ? static_cast<int>(index) : CB_ERR;
      return c.selection;
    case CB_GETCURSEL:
      return c.selection;
    case CB_GETLBTEXTLEN:
      return valid ? static_cast<LRESULT>(c.items[index].size()) : CB_ERR;
    case CB_GETLBTEXT:
      if (!valid) return CB_ERR;
      std::memcpy(reinterpret_cast<LPSTR>(lParam), c.items[index].c_str(), c.items[index].size() + 1);
      return static_cast<LRESULT>(c.items[index].size());
    default:
      standin::Unexpected("SendMessageA with an unmodelled message", std::to_string(message));
  }
}

BOOL WINAPI CheckDlgButton(HWND window, int id, UINT check) {
  standin::ControlState& c = DialogOf(window).Control(id);
  if (c.kind != ControlKind::AutoCheckBox) standin::Unexpected("CheckDlgButton on a control that is no check box");
  c.check = check;
  return TRUE;
}

UINT WINAPI IsDlgButtonChecked(HWND window, int id) {
  standin::ControlState& c = DialogOf(window).Control(id);
  if (c.kind != ControlKind::AutoCheckBox) standin::Unexpected("IsDlgButtonChecked on a control that is no check box");
  return c.check;
}

BOOL WINAPI EnableWindow(HWND window, BOOL enable) {
  standin::Dialog& dialog = DialogOf(window);
  bool& enabled = window->id == 0 ? dialog.enabled : dialog.Control(window->id).enabled;
  const BOOL wasDisabled = enabled ? FALSE : TRUE;
  enabled = enable != FALSE;
  return wasDisabled;
}
