// The options dialog's controls, in template order, as the stand-in dialog manager
// needs them: shared by the unit tests and the fuzzers.
#pragma once

#include "standin/standin_control.h"
#include "ui/resource.h"

inline void RegisterOptionDialogLayout() {
  using standin::ControlKind;
  standin::RegisterDialogTemplate(IDD_OPTION, {
      {IDC_RUNON, ControlKind::AutoCheckBox},
      {IDC_DRIVE_LABEL, ControlKind::Static},
      {IDC_DRIVE, ControlKind::DropDownList},
      {IDC_CLOSEON, ControlKind::AutoCheckBox},
      {IDOK, ControlKind::PushButton},
      {IDCANCEL, ControlKind::PushButton},
  });
}
