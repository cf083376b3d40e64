// Stand-in profile (INI) functions over real files holding code page 932 bytes.
//
// The model follows Wine's implementation (dlls/kernel32/profile.c) and its
// conformance tests, which mirror Windows:
// * lines end in LF or CR LF; blanks around section names, key names and values are
//   trimmed; "[ name ]" is section "name" (up to the line's last ']'; without one the
//   line is an ordinary one); a line without '=' is a key without value,
//   which reads as the default; lines starting with ';' are comments;
// * section and key names match without regard to case (ASCII letters; double-byte
//   characters are compared whole); only the first section of a name is searched,
//   and within it the first key of a name;
// * one pair of matching quotes around a value is stripped;
// * the value is copied up to size-1 bytes and NUL-terminated; the count copied is
//   returned; a missing key gives the default with its trailing blanks trimmed;
// * a write rewrites the whole file as "[section]\r\nkey=value\r\n" lines, in the
//   file's order, with a new key at the end of its section and a new section at the
//   end of the file; leading blanks of the value are dropped; a write that changes
//   nothing leaves the file alone; a missing file is created.
// The rows of tests/cases/profile_cases.h run against Wine's real functions too.
#include <cstdio>
#include <cstring>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "standin/standin_control.h"
#include "standin/standin_internal.h"

namespace standin {
namespace {

int readCalls = 0;
int writeCalls = 0;

struct Entry {
  std::string name;                  // key name, or the whole comment line
  std::optional<std::string> value;  // none: a key without '=' or a comment
};
struct Section {
  std::string name;
  std::vector<Entry> entries;
};
using Profile = std::vector<Section>;

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

std::string Trim(const std::string& s) {
  size_t b = 0, e = s.size();
  while (b < e && IsBlank(s[b])) ++b;
  while (e > b && IsBlank(s[e - 1])) --e;
  return s.substr(b, e - b);
}

bool SameName(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    const unsigned char x = a[i], y = b[i];
    if (IsDBCSLeadByte(x)) {  // compare the double-byte character whole
      if (x != y || i + 1 >= a.size() || a[i + 1] != b[i + 1]) return false;
      ++i;
      continue;
    }
    const bool letter = (x | 0x20) >= 'a' && (x | 0x20) <= 'z';
    if (letter ? (x | 0x20) != (y | 0x20) : x != y) return false;
  }
  return true;
}

std::optional<std::string> ReadFile(const char* path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

Profile Parse(const std::string& bytes) {
  Profile profile{{"", {}}};  // entries before any section header
  std::istringstream in(bytes);
  std::string line;
  while (std::getline(in, line)) {
    line = Trim(line);
    if (line.empty()) continue;
    const size_t close = line.rfind(']');
    if (line[0] == '[' && close != std::string::npos) {
      profile.push_back({Trim(line.substr(1, close - 1)), {}});
      continue;
    }  // an unclosed "[name" is read as an ordinary line
    if (line[0] == ';') {
      profile.back().entries.push_back({line, std::nullopt});
      continue;
    }
    const size_t eq = line.find('=');
    if (eq == std::string::npos) {
      profile.back().entries.push_back({line, std::nullopt});
    } else {
      profile.back().entries.push_back({Trim(line.substr(0, eq)), Trim(line.substr(eq + 1))});
    }
  }
  return profile;
}

std::string Render(const Profile& profile) {
  std::string out;
  for (const Section& section : profile) {
    if (!section.name.empty()) out += "[" + section.name + "]\r\n";
    for (const Entry& entry : section.entries) {
      out += entry.name;
      if (entry.value) out += "=" + *entry.value;
      out += "\r\n";
    }
  }
  return out;
}

Section* FindSection(Profile& profile, const std::string& name) {
  for (Section& section : profile) {
    if (SameName(section.name, name)) return &section;
  }
  return nullptr;
}

Entry* FindKey(Section& section, const std::string& name) {
  for (Entry& entry : section.entries) {
    if (entry.name[0] != ';' && SameName(entry.name, name)) return &entry;
  }
  return nullptr;
}

DWORD CopyOut(std::string value, bool stripQuotes, LPSTR buffer, DWORD size) {
  if (stripQuotes && value.size() >= 2 && (value[0] == '"' || value[0] == '\'') &&
      value.back() == value[0]) {
    value = value.substr(1, value.size() - 2);
  }
  const DWORD n = value.size() < size - 1 ? static_cast<DWORD>(value.size()) : size - 1;
  std::memcpy(buffer, value.data(), n);
  buffer[n] = '\0';
  return n;
}

}  // namespace

void ResetProfile() {
  readCalls = 0;
  writeCalls = 0;
}
int ProfileReadCalls() { return readCalls; }
int ProfileWriteCalls() { return writeCalls; }

}  // namespace standin

DWORD WINAPI GetPrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR def, LPSTR buffer, DWORD size,
                                      LPCSTR file) {
  using namespace standin;
  ++readCalls;
  if (!section || !key || !buffer || !file || !*file) Unexpected("GetPrivateProfileStringA", "enumeration or no file");
  if (size == 0) return 0;
  std::optional<std::string> bytes = ReadFile(file);
  if (bytes) {
    Profile profile = Parse(*bytes);
    if (Section* s = FindSection(profile, section)) {
      Entry* e = FindKey(*s, key);
      if (e && e->value) return CopyOut(*e->value, true, buffer, size);
    }
  }
  std::string fallback = def ? def : "";
  while (!fallback.empty() && fallback.back() == ' ') fallback.pop_back();
  return CopyOut(fallback, false, buffer, size);
}

BOOL WINAPI WritePrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR value, LPCSTR file) {
  using namespace standin;
  ++writeCalls;
  if (!section || !key || !value || !file || !*file) Unexpected("WritePrivateProfileStringA", "deletion or no file");
  std::optional<std::string> before = ReadFile(file);
  Profile profile = Parse(before.value_or(""));
  const char* v = value;
  while (*v == ' ' || *v == '\t') ++v;

  Section* s = FindSection(profile, section);
  if (!s) {
    profile.push_back({section, {}});
    s = &profile.back();
  }
  if (Entry* e = FindKey(*s, key)) {
    if (e->value && *e->value == v) return TRUE;  // unchanged: the file is left alone
    e->value = std::string(v);
  } else {
    s->entries.push_back({key, std::string(v)});
  }

  const std::string after = Render(profile);
  std::FILE* out = std::fopen(file, "wb");
  if (!out) return FALSE;
  const bool ok = std::fwrite(after.data(), 1, after.size(), out) == after.size();
  return (std::fclose(out) == 0 && ok) ? TRUE : FALSE;
}
