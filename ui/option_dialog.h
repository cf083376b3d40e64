// The options dialog: whether notification is on, the target drive, and whether the
// tray closes before it opens. Reads the settings when it opens, writes them on OK.
#pragma once

#include "base/platform.h"

void ShowOptionDialog(HWND parent);
INT_PTR CALLBACK OptionDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
void InitOptionDialog(HWND dialog);
int SaveOptionDialog(HWND dialog);
void UpdateOptionControls(HWND dialog);
