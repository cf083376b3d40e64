// Fuzz target: the settings path made from arbitrary module paths, code page 932
// double-byte characters included. For any path the result either fits its buffer,
// ends in ".ini" and keeps the path up to the cut, with the cut at a character
// boundary in the file name (the file name's last dot, or its end) so that nothing
// cut off held a separator; or the call fails with an empty result. A path the
// system truncated never gives a settings path. The path is handed over without a
// NUL and the result buffer has exactly its stated size, so that AddressSanitizer
// sees any read or write past either.
#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "fuzz_check.h"
#include "plugin/ini_path.h"
#include "plugin/module_state.h"
#include "standin/standin_control.h"

namespace {

constexpr DWORD kRoomy = 2048;
constexpr size_t kLongestPath = 1000;

bool IsSeparator(char c) { return c == '\\' || c == '/' || c == ':'; }

// Where each character of `path` starts, reading it in the system code page.
std::vector<bool> CharacterStarts(const std::string& path) {
  std::vector<bool> starts(path.size() + 1, false);
  for (size_t i = 0; i < path.size();) {
    starts[i] = true;
    i += (IsDBCSLeadByte(static_cast<BYTE>(path[i])) && i + 1 < path.size()) ? 2 : 1;
  }
  starts[path.size()] = true;
  return starts;
}

// Calls MakeIniPath with a result buffer of `size` bytes; `ok` tells whether it
// succeeded, the result is the text it left in the buffer.
std::string MakeWithSize(const std::string& path, DWORD size, bool& ok) {
  std::unique_ptr<char[]> exactPath(new char[path.size()]);
  std::memcpy(exactPath.get(), path.data(), path.size());
  std::unique_ptr<char[]> out(new char[size]);
  if (size > 0) out[0] = 'X';  // must be overwritten either way
  ok = MakeIniPath(exactPath.get(), static_cast<DWORD>(path.size()), out.get(), size) == TRUE;
  if (size == 0) {
    FUZZ_CHECK(!ok);
    return "";
  }
  const size_t n = strnlen(out.get(), size);
  FUZZ_CHECK(n < size);  // terminated inside the buffer
  const std::string result(out.get(), n);
  if (!ok) FUZZ_CHECK(result.empty());
  return result;
}

void CheckDerivedPath(const std::string& path, const std::string& result) {
  static const std::string kExtension = ".ini";
  FUZZ_CHECK(result.size() >= kExtension.size());
  FUZZ_CHECK(result.compare(result.size() - kExtension.size(), kExtension.size(), kExtension) == 0);
  const size_t cut = result.size() - kExtension.size();
  FUZZ_CHECK(cut <= path.size());
  FUZZ_CHECK(result.compare(0, cut, path, 0, cut) == 0);

  const std::vector<bool> starts = CharacterStarts(path);
  FUZZ_CHECK(starts[cut]);
  if (cut < path.size()) FUZZ_CHECK(path[cut] == '.');
  // Nothing cut off is a separator or another dot; and when nothing was cut, the
  // file name had no dot to cut at.
  size_t nameStart = 0;
  for (size_t i = 0; i < path.size(); ++i) {
    if (starts[i] && IsSeparator(path[i])) nameStart = i + 1;
  }
  FUZZ_CHECK(cut >= nameStart || cut == path.size());
  for (size_t i = nameStart; i < path.size(); ++i) {
    if (!starts[i] || i == cut) continue;
    if (i > cut) FUZZ_CHECK(path[i] != '.' && !IsSeparator(path[i]));
    if (cut == path.size()) FUZZ_CHECK(path[i] != '.');
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const DWORD chosenSize = data[0];
  std::string path(reinterpret_cast<const char*>(data + 1), size - 1);
  path = path.substr(0, std::min(std::strlen(path.c_str()), kLongestPath));  // a path holds no NUL

  // With room to spare: fails only for an empty path.
  bool ok = false;
  const std::string roomy = MakeWithSize(path, kRoomy, ok);
  FUZZ_CHECK(ok == !path.empty());
  if (ok) CheckDerivedPath(path, roomy);

  // Any other size gives the same text when it fits and nothing otherwise, and a
  // path as long as the buffer counts as truncated.
  const DWORD needed = static_cast<DWORD>(roomy.size()) + 1;
  const DWORD sizes[] = {chosenSize, MAX_PATH, needed, needed - 1, static_cast<DWORD>(path.size()),
                         static_cast<DWORD>(path.size()) + 1};
  for (const DWORD bufferSize : sizes) {
    const std::string result = MakeWithSize(path, bufferSize, ok);
    const bool fits = !path.empty() && path.size() < bufferSize && needed <= bufferSize;
    FUZZ_CHECK(ok == fits);
    if (ok) FUZZ_CHECK(result == roomy);
  }

  // Through the module's own file name: a path the system had to truncate gives no
  // settings path at all.
  standin::Reset();
  const HMODULE module = standin::FakeModule(2);
  standin::SetModuleFileName(module, path);
  std::memset(g_szIniPath, 'X', sizeof g_szIniPath);
  InitIniPath(module);
  FUZZ_CHECK(strnlen(g_szIniPath, MAX_PATH) < MAX_PATH);
  const bool usable = !path.empty() && path.size() < MAX_PATH && needed <= MAX_PATH;
  FUZZ_CHECK(std::string(g_szIniPath) == (usable ? roomy : std::string()));
  return 0;
}
