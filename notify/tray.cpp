// EjectTray: open the "cdaudio" device, optionally close the door, open it, close
// the device. Only the open's result matters; the door commands are best effort.
#include "notify/tray.h"

int EjectTray(LPCSTR drive, int closeFirst) {
  char element[3] = "";
  MCI_OPEN_PARMSA open = {};
  open.lpstrDeviceType = "cdaudio";
  DWORD_PTR flags = MCI_OPEN_TYPE | MCI_WAIT;
  if (lstrlenA(drive) > 0) {
    flags |= MCI_OPEN_ELEMENT;
    lstrcpynA(element, drive, sizeof element);
    open.lpstrElementName = element;
  }
  if (mciSendCommandA(0, MCI_OPEN, flags, reinterpret_cast<DWORD_PTR>(&open)) != 0) return 0;

  const MCIDEVICEID device = open.wDeviceID;
  if (closeFirst == 1) mciSendCommandA(device, MCI_SET, MCI_SET_DOOR_CLOSED | MCI_WAIT, 0);
  mciSendCommandA(device, MCI_SET, MCI_SET_DOOR_OPEN | MCI_WAIT, 0);
  mciSendCommandA(device, MCI_CLOSE, MCI_WAIT, 0);
  return 1;
}
