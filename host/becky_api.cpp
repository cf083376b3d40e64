// Binding the host's service functions, with the version gate on BKA_SetStatus.
#include "host/becky_api.h"

namespace {

struct Slot {
  LPCSTR name;
  FARPROC CBeckyAPI::*member;
  bool required;
};

const Slot kSlots[] = {
#define QUINDLE_SLOT(name, required) {#name, &CBeckyAPI::name, required != 0},
    QUINDLE_BECKY_API(QUINDLE_SLOT)
#undef QUINDLE_SLOT
};

typedef LPCSTR(WINAPI* GetVersionProc)();

}  // namespace

int CBeckyAPI::Bind() {
  if (m_hHostModule) return 1;
  m_hHostModule = GetModuleHandleA(nullptr);
  if (!m_hHostModule) return 0;

  for (const Slot& slot : kSlots) {
    if (!slot.required) continue;
    this->*slot.member = GetProcAddress(m_hHostModule, slot.name);
    if (!(this->*slot.member)) {
      m_hHostModule = nullptr;
      return 0;
    }
  }
  for (const Slot& slot : kSlots) {
    if (!slot.required) this->*slot.member = GetProcAddress(m_hHostModule, slot.name);
  }

  if (!AcceptsVersion()) {
    m_hHostModule = nullptr;
    return 0;
  }
  return 1;
}

bool CBeckyAPI::AcceptsVersion() const {
  LPCSTR version = reinterpret_cast<GetVersionProc>(reinterpret_cast<void (*)()>(BKA_GetVersion))();
  if (!version) version = "";
  if (lstrlenA(version) <= 7 && lstrcmpA(version, kSetStatusVersion) < 0) return true;
  return BKA_SetStatus != nullptr;
}
