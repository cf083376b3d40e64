// Screenshot hand-shake with the launcher (see screenshot.h).
#include "screenshot.h"

#include "plugin_files.h"
#include "report.h"

bool TakeScreenshot(const RECT& r) {
  std::string request = g_paths.shot + "\\shot-request.txt";
  std::string done = g_paths.shot + "\\shot-done.txt";
  RemoveFileIfAny(done);
  // Written under another name first so that the launcher never reads half a request.
  std::string temp = request + ".tmp";
  WriteBytes(temp, Format("%ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top));
  MoveFileExA(temp.c_str(), request.c_str(), MOVEFILE_REPLACE_EXISTING);
  for (int i = 0; i < 900; ++i) {
    if (GetFileAttributesA(done.c_str()) != INVALID_FILE_ATTRIBUTES) return true;
    Sleep(100);
  }
  RemoveFileIfAny(request);
  return false;
}
