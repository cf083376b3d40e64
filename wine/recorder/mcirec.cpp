// Recording MCI driver for the "cdaudio" device type: instead of moving a tray it appends one
// line per command to the log file named by the environment variable QUINDLE_MCI_LOG, e.g.
//   open D: type=cdaudio flags=0x2202
//   set D: flags=0x102 parms=null
//   close D: flags=0x2 parms=null
// ("-" stands for "no element": the default device). When QUINDLE_MCI_FAIL names an element,
// opening that element is refused with MCIERR_DEVICE_NOT_READY and logged as "open-refused".
// The driver runs inside the process that sends the commands, so the test host configures it by
// setting those variables in its own environment.
#include <windows.h>
#include <mmsystem.h>
#include <mmddk.h>
#include <stdio.h>
#include <string.h>

namespace {

const int kSlots = 64;
char g_element[kSlots][16];  // element of each open driver instance, by driver id

void Append(const char* line) {
  char path[MAX_PATH];
  DWORD n = GetEnvironmentVariableA("QUINDLE_MCI_LOG", path, sizeof path);
  if (n == 0 || n >= sizeof path) return;
  HANDLE h = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                         OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
  if (h == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(h, line, lstrlenA(line), &written, NULL);
  WriteFile(h, "\n", 1, &written, NULL);
  CloseHandle(h);
}

// Narrow copy of a wide text for the log; non-ASCII characters show as '?'.
void Narrow(const WCHAR* w, char* out, int size) {
  int i = 0;
  for (; w && w[i] && i < size - 1; ++i) out[i] = (w[i] < 0x80) ? (char)w[i] : '?';
  out[i] = 0;
}

const char* ElementOf(DWORD_PTR id) {
  return (id > 0 && id < (DWORD_PTR)kSlots && g_element[id][0]) ? g_element[id] : "?";
}

LRESULT OpenDevice(DWORD_PTR id, DWORD flags, const MCI_OPEN_PARMSW* p) {
  char type[64] = "-", element[16] = "-", line[160];
  if (p && (flags & MCI_OPEN_TYPE) && !(flags & MCI_OPEN_TYPE_ID)) Narrow(p->lpstrDeviceType, type, sizeof type);
  if (p && (flags & MCI_OPEN_ELEMENT) && !(flags & MCI_OPEN_ELEMENT_ID))
    Narrow(p->lpstrElementName, element, sizeof element);
  if (id > 0 && id < (DWORD_PTR)kSlots) lstrcpynA(g_element[id], element, sizeof g_element[id]);

  char refuse[16];
  DWORD n = GetEnvironmentVariableA("QUINDLE_MCI_FAIL", refuse, sizeof refuse);
  bool refused = n > 0 && n < sizeof refuse && lstrcmpiA(refuse, element) == 0;
  snprintf(line, sizeof line, "%s %s type=%s flags=0x%lx", refused ? "open-refused" : "open", element,
           type, (unsigned long)flags);
  Append(line);
  return refused ? MCIERR_DEVICE_NOT_READY : 0;
}

void Command(const char* name, DWORD_PTR id, DWORD flags, LPARAM parms) {
  char line[160];
  snprintf(line, sizeof line, "%s %s flags=0x%lx parms=%s", name, ElementOf(id), (unsigned long)flags,
           parms ? "record" : "null");
  Append(line);
}

}  // namespace

extern "C" LRESULT CALLBACK DriverProc(DWORD_PTR id, HDRVR drv, UINT msg, LPARAM p1, LPARAM p2) {
  static DWORD_PTR next = 1;
  switch (msg) {
    case DRV_LOAD:
    case DRV_FREE:
    case DRV_ENABLE:
    case DRV_DISABLE:
    case DRV_CLOSE:
      return 1;
    case DRV_OPEN: {
      if (p2 == 0) return 1;  // the session open that winmm does first
      MCI_OPEN_DRIVER_PARMS* op = (MCI_OPEN_DRIVER_PARMS*)p2;
      op->wCustomCommandTable = MCI_NO_COMMAND_TABLE;
      op->wType = MCI_DEVTYPE_CD_AUDIO;
      DWORD_PTR mine = next;
      next = next + 1 < (DWORD_PTR)kSlots ? next + 1 : 1;
      g_element[mine][0] = 0;
      return (LRESULT)mine;
    }
    case MCI_OPEN_DRIVER:
      return OpenDevice(id, (DWORD)p1, (const MCI_OPEN_PARMSW*)p2);
    case MCI_SET:
      Command("set", id, (DWORD)p1, p2);
      return 0;
    case MCI_CLOSE_DRIVER:
      Command("close", id, (DWORD)p1, p2);
      return 0;
    default:
      if (msg >= DRV_MCI_FIRST && msg <= DRV_MCI_LAST) {
        char name[32];
        snprintf(name, sizeof name, "mci-0x%x", msg);
        Command(name, id, (DWORD)p1, p2);
        return MCIERR_UNSUPPORTED_FUNCTION;
      }
      return DefDriverProc(id, drv, msg, p1, p2);
  }
}
