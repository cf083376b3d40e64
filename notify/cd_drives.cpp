// ListCdDrives: the roots of the logical drives whose type is CD-ROM.
#include "notify/cd_drives.h"

int ListCdDrives(TnString& out) {
  constexpr DWORD kRootsBuffer = MAX_PATH;
  char roots[kRootsBuffer];
  const DWORD used = GetLogicalDriveStringsA(kRootsBuffer, roots);
  out.Assign("");
  // 0 is a failure; a size of kRootsBuffer or more asks for a bigger buffer and
  // wrote nothing: both give an empty list.
  if (used == 0 || used >= kRootsBuffer) return 0;
  roots[used] = '\0';
  for (LPCSTR root = roots; *root != '\0'; root += lstrlenA(root) + 1) {
    if (GetDriveTypeA(root) == DRIVE_CDROM) {
      out.Append(root);
      out.AppendChar(' ');
    }
  }
  return out.GetLength() != 0 ? 1 : 0;
}
