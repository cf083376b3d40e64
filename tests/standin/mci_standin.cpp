// Stand-in MCI: records every command with its device, message, flags and open
// record, and hands out device ids for opens. It models the three commands the
// plug-in sends to "cdaudio"; anything else aborts.
#include <cstdio>

#include "standin/standin_control.h"
#include "standin/standin_internal.h"

namespace standin {
namespace {
std::vector<MciCall> calls;
std::vector<std::string> failingOpens;
MCIDEVICEID nextDevice = 1;
constexpr MCIERROR kDeviceNotReady = 0x114;  // MCIERR_DEVICE_NOT_READY, as a real drive answers

std::string Hex(DWORD_PTR v) {
  char text[32];
  std::snprintf(text, sizeof text, "0x%lx", static_cast<unsigned long>(v));
  return text;
}
}  // namespace

void ResetMci() {
  calls.clear();
  failingOpens.clear();
  nextDevice = 1;
}
const std::vector<MciCall>& MciCalls() { return calls; }
void FailMciOpen(const std::string& element) { failingOpens.push_back(element); }

std::vector<std::string> MciLog() {
  std::vector<std::string> lines;
  for (const MciCall& c : calls) {
    if (c.message == MCI_OPEN) {
      lines.push_back("open " + c.deviceType + (c.hasElement ? " " + c.element : "") + " " + Hex(c.flags));
    } else if (c.message == MCI_SET) {
      lines.push_back(std::string(c.flags & MCI_SET_DOOR_OPEN ? "door-open " : "door-closed ") + Hex(c.flags));
    } else {
      lines.push_back("close " + Hex(c.flags));
    }
  }
  return lines;
}

}  // namespace standin

MCIERROR WINAPI mciSendCommandA(MCIDEVICEID device, UINT message, DWORD_PTR flags, DWORD_PTR params) {
  using namespace standin;
  MciCall call{device, message, flags, params != 0, "", false, ""};
  switch (message) {
    case MCI_OPEN: {
      if (device != 0 || !params) Unexpected("mciSendCommandA", "MCI_OPEN without a record");
      auto* open = reinterpret_cast<MCI_OPEN_PARMSA*>(params);
      if (!(flags & MCI_OPEN_TYPE) || !open->lpstrDeviceType) Unexpected("mciSendCommandA", "open by id");
      call.deviceType = open->lpstrDeviceType;
      call.hasElement = (flags & MCI_OPEN_ELEMENT) != 0;
      if (call.hasElement) call.element = open->lpstrElementName ? open->lpstrElementName : "(null)";
      calls.push_back(call);
      for (const std::string& failing : failingOpens) {
        if (failing == (call.hasElement ? call.element : "")) return kDeviceNotReady;
      }
      open->wDeviceID = nextDevice++;
      return 0;
    }
    case MCI_SET:
    case MCI_CLOSE:
      if (device == 0) Unexpected("mciSendCommandA", "command to device 0");
      calls.push_back(call);
      return 0;
    default:
      Unexpected("mciSendCommandA", "message " + std::to_string(message));
  }
}
