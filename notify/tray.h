// Moving a CD-ROM tray through the MCI "cdaudio" device.
#pragma once

#include "base/platform.h"

// Opens the tray of `drive` (only its first two characters are used, so "D:\" and a
// drive-list position both mean D:; an empty text means the default CD audio
// device), closing it first when closeFirst is exactly 1. Every command waits for
// the device. Returns 1 when the device opened, 0 when it did not.
int EjectTray(LPCSTR drive, int closeFirst);
