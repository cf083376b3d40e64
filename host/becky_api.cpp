// Binding the host's service functions, with the version gate on BKA_SetStatus.
#include "host/becky_api.h"

namespace {

// The names one after another, each ended by its NUL, and the slots in the same
// order: no table of pointers to relocate when the module loads.
const char kNames[] =
#define QUINDLE_NAME(name, required) #name "\0"
    QUINDLE_BECKY_API(QUINDLE_NAME)
#undef QUINDLE_NAME
    ;
FARPROC CBeckyAPI::* const kSlots[] = {
#define QUINDLE_MEMBER(name, required) &CBeckyAPI::name,
    QUINDLE_BECKY_API(QUINDLE_MEMBER)
#undef QUINDLE_MEMBER
};
const bool kRequired[] = {
#define QUINDLE_REQUIRED(name, required) required != 0,
    QUINDLE_BECKY_API(QUINDLE_REQUIRED)
#undef QUINDLE_REQUIRED
};

// Resolves the required slots (wanted = true) or the optional ones into `api`;
// false at the first required name the host lacks.
bool ResolveSlots(CBeckyAPI& api, bool wanted) {
  LPCSTR name = kNames;
  for (size_t i = 0; i < sizeof kSlots / sizeof kSlots[0]; ++i, name += lstrlenA(name) + 1) {
    if (kRequired[i] != wanted) continue;
    api.*kSlots[i] = GetProcAddress(api.m_hHostModule, name);
    if (wanted && !(api.*kSlots[i])) return false;
  }
  return true;
}

typedef LPCSTR(WINAPI* GetVersionProc)();

}  // namespace

int CBeckyAPI::Bind() {
  if (m_hHostModule) return 1;
  m_hHostModule = GetModuleHandleA(nullptr);
  if (!m_hHostModule) return 0;

  if (!ResolveSlots(*this, true)) {
    m_hHostModule = nullptr;
    return 0;
  }
  ResolveSlots(*this, false);

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
