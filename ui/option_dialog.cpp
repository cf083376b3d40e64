// The options dialog's procedure and the routines it calls.
#include "ui/option_dialog.h"

#include "base/cp932_texts.h"
#include "base/settings.h"
#include "base/tn_string.h"
#include "notify/cd_drives.h"
#include "plugin/module_state.h"
#include "ui/resource.h"

namespace {

void AddDriveItem(HWND dialog, LPCSTR text) {
  SendDlgItemMessageA(dialog, IDC_DRIVE, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
}

bool IsTicked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }

}  // namespace

void ShowOptionDialog(HWND parent) {
  DialogBoxParamA(g_hInstance, IDD_OPTION, parent, OptionDlgProc, 0);
}

void InitOptionDialog(HWND dialog) {
  TnString list;
  TnString item;
  TnString current;

  AddDriveItem(dialog, kDriveDefault);
  ReadDrive(current);
  int index = 1;
  int selection = 0;
  ListCdDrives(list);
  for (LPCSTR p = list.GetText(); *p != '\0';) {
    item.Assign("");
    for (; *p != '\0' && *p != ' '; ++p) item.AppendChar(*p);
    if (*p == ' ') ++p;
    AddDriveItem(dialog, item.GetText());
    if (item.CompareNoCase(current.GetText()) == 0) selection = index;
    ++index;
  }
  AddDriveItem(dialog, kDriveAll);
  if (current.Compare(kDriveAll) == 0) selection = index;
  SendDlgItemMessageA(dialog, IDC_DRIVE, CB_SETCURSEL, static_cast<WPARAM>(selection), 0);

  // Ticked whenever the notifier would run, so OK never turns it off unasked.
  int runOn = 1;
  ReadRunOn(runOn);
  if (runOn != 0) CheckDlgButton(dialog, IDC_RUNON, BST_CHECKED);
  int closeOn = 0;
  ReadCloseOn(closeOn);
  if (closeOn == 1) CheckDlgButton(dialog, IDC_CLOSEON, BST_CHECKED);

  UpdateOptionControls(dialog);
}

void UpdateOptionControls(HWND dialog) {
  const BOOL enabled = IsTicked(dialog, IDC_RUNON) ? TRUE : FALSE;
  EnableWindow(GetDlgItem(dialog, IDC_DRIVE), enabled);
  EnableWindow(GetDlgItem(dialog, IDC_CLOSEON), enabled);
}

int SaveOptionDialog(HWND dialog) {
  EnableWindow(dialog, FALSE);
  const LRESULT selection = SendDlgItemMessageA(dialog, IDC_DRIVE, CB_GETCURSEL, 0, 0);
  if (selection != CB_ERR) {
    TnString drive;
    drive.LoadComboItem(GetDlgItem(dialog, IDC_DRIVE), static_cast<int>(selection));
    WriteDrive(drive.GetText());
  }
  WriteRunOn(IsTicked(dialog, IDC_RUNON) ? 1 : 0);
  WriteCloseOn(IsTicked(dialog, IDC_CLOSEON) ? 1 : 0);
  EnableWindow(dialog, TRUE);
  return 1;
}

INT_PTR CALLBACK OptionDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  // Nothing may unwind through the system's dialog manager: a failure while the
  // dialog works ends it as if cancelled.
  try {
      switch (message) {
        case WM_INITDIALOG:
          InitOptionDialog(dialog);
          return TRUE;
        case WM_COMMAND:
          switch (LOWORD(wParam)) {
            case IDOK:
              if (SaveOptionDialog(dialog) != 1) return FALSE;
              EndDialog(dialog, IDOK);
              return TRUE;
            case IDCANCEL:
              EndDialog(dialog, IDCANCEL);
              return TRUE;
            case IDC_RUNON:
              UpdateOptionControls(dialog);
              return TRUE;
            default:
              return TRUE;
          }
        default:
          return FALSE;
      }
  } catch (...) {
    EnableWindow(dialog, TRUE);
    EndDialog(dialog, IDCANCEL);
    return TRUE;
  }
}
