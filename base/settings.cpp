// Readers and writers of the settings file (a Windows profile file).
#include "base/settings.h"

#include <climits>

#include "plugin/module_state.h"

namespace {

const char kSection[] = "Option";
const char kDriveKey[] = "Drive";
const char kRunOnKey[] = "RunOn";
const char kCloseOnKey[] = "CloseOn";
constexpr DWORD kValueBuffer = MAX_PATH;

bool HaveSettingsPath() { return g_szIniPath[0] != '\0'; }

// Reads one value into `buffer`; returns the number of characters, 0 for a missing
// key, an empty value or no settings path.
DWORD ReadValue(LPCSTR key, char (&buffer)[kValueBuffer]) {
  buffer[0] = '\0';
  if (!HaveSettingsPath()) return 0;
  DWORD n = GetPrivateProfileStringA(kSection, key, "", buffer, kValueBuffer, g_szIniPath);
  buffer[kValueBuffer - 1] = '\0';
  return n;
}

int ReadInteger(LPCSTR key, int fallback, int& out) {
  char buffer[kValueBuffer];
  if (ReadValue(key, buffer) > 0) {
    const long value = ParseDecimal(buffer);
    out = value > INT_MAX ? INT_MAX : value < INT_MIN ? INT_MIN : static_cast<int>(value);
    return 1;
  }
  out = fallback;
  return 0;
}

BOOL WriteValue(LPCSTR key, LPCSTR value) {
  if (!HaveSettingsPath() || !value) return FALSE;
  return WritePrivateProfileStringA(kSection, key, value, g_szIniPath);
}

BOOL WriteDigit(LPCSTR key, int value) {
  const char text[2] = {static_cast<char>('0' + value), '\0'};
  return WriteValue(key, text);
}

}  // namespace

long ParseDecimal(LPCSTR text) {
  const char* p = text;
  while (*p == ' ' || (*p >= '\t' && *p <= '\r')) ++p;
  bool negative = false;
  if (*p == '+' || *p == '-') negative = (*p++ == '-');
  long value = 0;
  for (; *p >= '0' && *p <= '9'; ++p) {
    const int digit = *p - '0';
    if (value > (LONG_MAX - digit) / 10) return negative ? LONG_MIN : LONG_MAX;
    value = value * 10 + digit;
  }
  return negative ? -value : value;
}

int ReadDrive(TnString& out) {
  char buffer[kValueBuffer];
  if (ReadValue(kDriveKey, buffer) > 0) {
    out.Assign(buffer);
    return 1;
  }
  out.Assign("");
  return 0;
}

int ReadRunOn(int& out) { return ReadInteger(kRunOnKey, 1, out); }
int ReadCloseOn(int& out) { return ReadInteger(kCloseOnKey, 0, out); }

BOOL WriteDrive(LPCSTR text) { return WriteValue(kDriveKey, text); }
BOOL WriteRunOn(int value) { return WriteDigit(kRunOnKey, value); }
BOOL WriteCloseOn(int value) { return WriteDigit(kCloseOnKey, value); }
