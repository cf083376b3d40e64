// Identifiers of the options dialog's template and controls. Included by the
// resource script too, so it holds nothing but defines.
#pragma once

#define IDD_OPTION "IDD_OPTION"
#define IDC_RUNON 1001
#define IDC_DRIVE_LABEL 1002
#define IDC_DRIVE 1003
#define IDC_CLOSEON 1004
