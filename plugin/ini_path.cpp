// The settings path: the module's file name with its extension replaced by ".ini".
// The path is walked one character at a time in the system's multi-byte code page,
// so a 0x5C trail byte is never taken for a separator.
#include "plugin/ini_path.h"

#include <cstring>

#include "plugin/module_state.h"

BOOL MakeIniPath(LPCSTR modulePath, DWORD length, LPSTR out, DWORD size) {
  static const char kExtension[] = ".ini";
  if (size == 0) return FALSE;
  out[0] = '\0';
  if (length == 0 || length >= size) return FALSE;

  // Where the file name's extension starts: its last dot after the last separator.
  DWORD cut = length;
  for (DWORD i = 0; i < length;) {
    const char c = modulePath[i];
    if (c == '\\' || c == '/' || c == ':') {
      cut = length;
    } else if (c == '.') {
      cut = i;
    }
    i += (IsDBCSLeadByte(static_cast<BYTE>(c)) && i + 1 < length) ? 2 : 1;
  }
  if (cut + sizeof kExtension > size) return FALSE;
  std::memcpy(out, modulePath, cut);
  std::memcpy(out + cut, kExtension, sizeof kExtension);
  return TRUE;
}

void InitIniPath(HMODULE module) {
  char modulePath[MAX_PATH];
  modulePath[0] = '\0';
  const DWORD length = GetModuleFileNameA(module, modulePath, MAX_PATH);
  if (length < MAX_PATH) modulePath[length] = '\0';
  MakeIniPath(modulePath, length, g_szIniPath, MAX_PATH);
}
