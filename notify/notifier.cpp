// NotifyNewMail: "RunOn" gates it; "Drive" picks the default device, every CD-ROM
// drive ("全て") or one drive; "CloseOn" 1 closes each tray before it opens.
#include "notify/notifier.h"

#include "base/cp932_texts.h"
#include "base/settings.h"
#include "base/tn_string.h"
#include "notify/cd_drives.h"
#include "notify/tray.h"

void NotifyNewMail() {
  int runOn = 1;
  ReadRunOn(runOn);
  if (runOn == 0) return;

  TnString drive;
  ReadDrive(drive);
  int closeOn = 0;
  ReadCloseOn(closeOn);

  if (drive.Compare(kDriveDefault) == 0) {
    drive.Assign("");
    EjectTray(drive.GetText(), closeOn);
  } else if (drive.Compare(kDriveAll) == 0) {
    ListCdDrives(drive);
    ForEachDriveEntry(drive.GetText(), [closeOn](LPCSTR entry) { EjectTray(entry, closeOn); });
  } else {
    EjectTray(drive.GetText(), closeOn);
  }
}
