// Stand-in logical drives: a table of roots and drive types set by the test.
//
// GetLogicalDriveStringsA (MSDN, and Wine's kernelbase/volume.c): writes each root
// with its NUL and a final NUL, returning the length without that final NUL; when the
// buffer is too small it writes nothing and returns the size needed, final NUL
// included. GetDriveTypeA answers DRIVE_NO_ROOT_DIR for a root that does not exist;
// drive letters match without regard to case.
#include <cstring>

#include "standin/standin_control.h"
#include "standin/standin_internal.h"

namespace standin {
namespace {
std::vector<std::pair<std::string, UINT>> drives;
int listCalls = 0;
}  // namespace

void ResetDrives() {
  drives.clear();
  listCalls = 0;
}
void SetDrives(const std::vector<std::pair<std::string, UINT>>& table) { drives = table; }
int DriveListCalls() { return listCalls; }

}  // namespace standin

DWORD WINAPI GetLogicalDriveStringsA(DWORD size, LPSTR buffer) {
  ++standin::listCalls;
  std::string all;
  for (const auto& drive : standin::drives) {
    all += drive.first;
    all += '\0';
  }
  if (all.size() + 1 > size) return static_cast<DWORD>(all.size() + 1);
  std::memcpy(buffer, all.data(), all.size());
  buffer[all.size()] = '\0';
  return static_cast<DWORD>(all.size());
}

UINT WINAPI GetDriveTypeA(LPCSTR root) {
  if (!root) standin::Unexpected("GetDriveTypeA", "of the current drive");
  for (const auto& drive : standin::drives) {
    if (lstrcmpiA(drive.first.c_str(), root) == 0) return drive.second;
  }
  return DRIVE_NO_ROOT_DIR;
}
