// Stand-in kernel services: modules and their exports, module file names, the lstr
// text functions and the code page 932 lead-byte test.
//
// How the modelled behaviour was established:
// * GetModuleFileNameA: MSDN ("If the buffer is too small ... the string is truncated
//   to nSize characters including the terminating null character ... returns nSize");
//   Windows XP left it unterminated, which the plug-in guards against anyway.
// * lstrcmpA/lstrcmpiA: MSDN says they compare with CompareStringA for the user's
//   locale ("word sort"): hyphen and apostrophe are ignored at the first level,
//   punctuation sorts before digits and digits before letters, letters compare
//   without case first and lower case sorts first only when all else is equal.
//   The rows of tests/cases/lstrcmp_cases.h run against Wine's real functions too.
// * lstrlenA(nullptr) is 0 and lstrcmpA orders a null text before any other (Wine).
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "standin/standin_control.h"
#include "standin/standin_internal.h"

namespace standin {
namespace {

struct KernelModel {
  HMODULE host = nullptr;
  std::map<std::string, FARPROC> exports;
  std::map<HMODULE, std::string> fileNames;
  int getProcAddressCalls = 0;
};
KernelModel kernel;

// One character's weight at the first level: a class and a value within it.
struct Weight {
  int kind;
  int value;
  bool operator!=(const Weight& o) const { return kind != o.kind || value != o.value; }
  bool operator<(const Weight& o) const { return kind != o.kind ? kind < o.kind : value < o.value; }
};

bool IsLetter(unsigned char c) { return (c | 0x20) >= 'a' && (c | 0x20) <= 'z'; }

std::vector<Weight> FirstLevel(const char* s) {
  std::vector<Weight> out;
  for (const unsigned char* p = reinterpret_cast<const unsigned char*>(s); *p; ++p) {
    const unsigned char c = *p;
    if (c == '-' || c == '\'') continue;
    if (c >= '0' && c <= '9') {
      out.push_back({2, c});
    } else if (IsLetter(c)) {
      out.push_back({3, c | 0x20});
    } else if (c >= 0x80) {
      int value = c << 8;
      if (IsDBCSLeadByte(c) && p[1]) value |= *++p;
      out.push_back({4, value});
    } else {
      out.push_back({1, c});
    }
  }
  return out;
}

int Sign(int v) { return v < 0 ? -1 : v > 0 ? 1 : 0; }

int Compare(const char* a, const char* b, bool caseSensitive) {
  if (!a || !b) return a == b ? 0 : (a ? 1 : -1);
  const std::vector<Weight> wa = FirstLevel(a), wb = FirstLevel(b);
  for (size_t i = 0; i < wa.size() && i < wb.size(); ++i) {
    if (wa[i] != wb[i]) return wa[i] < wb[i] ? -1 : 1;
  }
  if (wa.size() != wb.size()) return wa.size() < wb.size() ? -1 : 1;
  if (caseSensitive) {
    // Same letters: the first difference in case decides, lower case first.
    const char* p = a;
    const char* q = b;
    while (*p && *q) {
      if (IsLetter(*p) && IsLetter(*q) && *p != *q) return (*p & 0x20) ? -1 : 1;
      ++p;
      ++q;
    }
  }
  // Equal but for ignored characters: the shorter text first.
  const size_t la = std::strlen(a), lb = std::strlen(b);
  if (la != lb) return la < lb ? -1 : 1;
  return caseSensitive ? Sign(std::strcmp(a, b)) : 0;
}

}  // namespace

void ResetKernel() { kernel = KernelModel(); }

HMODULE FakeModule(int n) { return reinterpret_cast<HMODULE>(static_cast<std::uintptr_t>(0x10000 * n)); }
void SetHostModule(HMODULE module) { kernel.host = module; }
void SetHostExport(const std::string& name, FARPROC proc) { kernel.exports[name] = proc; }
void RemoveHostExport(const std::string& name) { kernel.exports.erase(name); }
int GetProcAddressCalls() { return kernel.getProcAddressCalls; }
void SetModuleFileName(HMODULE module, const std::string& path) { kernel.fileNames[module] = path; }

}  // namespace standin

using standin::kernel;

HMODULE WINAPI GetModuleHandleA(LPCSTR name) {
  if (name) standin::Unexpected("GetModuleHandleA", name);
  return kernel.host;
}

FARPROC WINAPI GetProcAddress(HMODULE module, LPCSTR name) {
  if (!module || module != kernel.host) standin::Unexpected("GetProcAddress on a module other than the host");
  if (reinterpret_cast<std::uintptr_t>(name) < 0x10000) standin::Unexpected("GetProcAddress by ordinal");
  ++kernel.getProcAddressCalls;
  auto it = kernel.exports.find(name);
  return it == kernel.exports.end() ? nullptr : it->second;
}

DWORD WINAPI GetModuleFileNameA(HMODULE module, LPSTR buffer, DWORD size) {
  auto it = kernel.fileNames.find(module);
  if (it == kernel.fileNames.end()) standin::Unexpected("GetModuleFileNameA for an unknown module");
  if (size == 0) return 0;
  const std::string& path = it->second;
  if (path.size() >= size) {
    std::memcpy(buffer, path.data(), size - 1);
    buffer[size - 1] = '\0';
    return size;
  }
  std::memcpy(buffer, path.c_str(), path.size() + 1);
  return static_cast<DWORD>(path.size());
}

int WINAPI lstrlenA(LPCSTR text) { return text ? static_cast<int>(std::strlen(text)) : 0; }

LPSTR WINAPI lstrcpynA(LPSTR dest, LPCSTR src, int count) {
  if (!dest || !src || count <= 0) standin::Unexpected("lstrcpynA with a null text or no room");
  int i = 0;
  for (; i < count - 1 && src[i]; ++i) dest[i] = src[i];
  dest[i] = '\0';
  return dest;
}

int WINAPI lstrcmpA(LPCSTR a, LPCSTR b) { return standin::Compare(a, b, true); }
int WINAPI lstrcmpiA(LPCSTR a, LPCSTR b) { return standin::Compare(a, b, false); }

// Code page 932: lead bytes are 0x81-0x9F and 0xE0-0xFC.
BOOL WINAPI IsDBCSLeadByte(BYTE c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }
