// The Linux stand-in tells the truth: the case tables its tests use for the profile functions,
// lstrcmpA/lstrcmpiA and the drive list are run here against the real functions; every row
// that disagrees fails with its row id.
#include "steps.h"

#include <windows.h>
#include <string.h>

#include <vector>

#include "drive_cases.h"
#include "lstrcmp_cases.h"
#include "plugin_files.h"
#include "profile_cases.h"
#include "report.h"

namespace {

int Sign(int v) { return v < 0 ? -1 : v > 0 ? 1 : 0; }

// Each row gets a file of its own, so that no cached copy of an earlier row's file can answer.
std::string CaseFile(const char* kind, unsigned row) {
  return g_paths.work + Format("\\%s-%03u.ini", kind, row);
}

void RunProfileReads() {
  unsigned row = 0;
  for (const ProfileReadCase& c : kProfileReadCases) {
    Step step(Format("truth-profile-read-%s", c.id).c_str());
    std::string path = CaseFile("read", row++);
    RemoveFileIfAny(path);
    if (c.file) WriteBytes(path, c.file);
    std::vector<char> buf(c.size + 16, '\xCC');
    DWORD ret = GetPrivateProfileStringA(c.section, c.key, c.def, buf.data(), c.size, path.c_str());
    std::string got = c.size ? std::string(buf.data(), strnlen(buf.data(), c.size)) : std::string();
    step.Expect(ret == c.expectRet, Format("returned %lu, expected %u", ret, c.expectRet));
    step.Expect(got == c.expect, "gave \"" + Escaped(got) + "\", expected \"" + Escaped(c.expect) + "\"");
    for (unsigned i = c.size; i < buf.size(); ++i) {
      if (!step.Expect(buf[i] == '\xCC', Format("wrote past the %u-byte buffer", c.size))) break;
    }
    RemoveFileIfAny(path);
  }
}

void RunProfileWrites() {
  unsigned row = 0;
  for (const ProfileWriteCase& c : kProfileWriteCases) {
    Step step(Format("truth-profile-write-%s", c.id).c_str());
    std::string path = CaseFile("write", row++);
    RemoveFileIfAny(path);
    if (c.before) WriteBytes(path, c.before);
    WritePrivateProfileStringA(c.section, c.key, c.value, path.c_str());
    std::string after;
    bool exists = ReadBytes(path, &after);
    if (c.after) {
      step.Expect(exists && after == c.after, "file \"" + (exists ? Escaped(after) : std::string("<none>")) +
                                                  "\", expected \"" + Escaped(c.after) + "\"");
    } else {
      step.Expect(!exists, "file \"" + Escaped(after) + "\" exists, expected none");
    }
    RemoveFileIfAny(path);
  }
}

void RunCompares() {
  for (const LstrcmpCase& c : kLstrcmpCases) {
    Step step(Format("truth-lstrcmp-%s", c.id).c_str());
    int got = Sign(lstrcmpA(c.a, c.b));
    step.Expect(got == c.sign, Format("lstrcmpA(\"%s\", \"%s\") has sign %d, expected %d", Escaped(c.a).c_str(),
                                      Escaped(c.b).c_str(), got, c.sign));
  }
  for (const LstrcmpCase& c : kLstrcmpiCases) {
    Step step(Format("truth-lstrcmpi-%s", c.id).c_str());
    int got = Sign(lstrcmpiA(c.a, c.b));
    step.Expect(got == c.sign, Format("lstrcmpiA(\"%s\", \"%s\") has sign %d, expected %d", Escaped(c.a).c_str(),
                                      Escaped(c.b).c_str(), got, c.sign));
  }
}

void RunDrives() {
  Step step("truth-drives");
  char roots[260];
  DWORD n = GetLogicalDriveStringsA(sizeof roots, roots);
  std::string got, want, cdList;
  for (const char* r = roots; n && n < sizeof roots && *r; r += strlen(r) + 1) {
    UINT type = GetDriveTypeA(r);
    got += Format("%s=%u ", r, type);
    if (type == DRIVE_CDROM) cdList += std::string(r) + " ";
  }
  for (const DriveCase& d : kPrefixDrives) want += Format("%c:\\=%u ", d.letter, d.type);
  step.Expect(got == want, "drives \"" + Escaped(got) + "\", table says \"" + Escaped(want) + "\"");
  step.Expect(cdList == kPrefixCdList, "CD-ROM list \"" + Escaped(cdList) + "\", table says \"" + Escaped(kPrefixCdList) + "\"");
}

}  // namespace

void RunTruthSteps() {
  RunDrives();
  RunCompares();
  RunProfileReads();
  RunProfileWrites();
}
