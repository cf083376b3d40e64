// Profile-file cases: what GetPrivateProfileStringA reads from given file bytes and
// what WritePrivateProfileStringA leaves in a file. The Linux tests run them against
// the stand-in, the Wine suite against the real functions; both must agree.
// File bytes are code page 932; "\x91\x53\x82\xC4" is 全て.
#pragma once

struct ProfileReadCase {
  const char* id;
  const char* file;  // raw file bytes; nullptr: no file at all
  const char* section;
  const char* key;
  const char* def;
  unsigned size;  // buffer size passed
  const char* expect;
  unsigned expectRet;
};

static const ProfileReadCase kProfileReadCases[] = {
    {"plain", "[Option]\r\nDrive=D:\\\r\n", "Option", "Drive", "", 260, "D:\\", 3},
    {"lf-only-lines", "[Option]\nRunOn=1\n", "Option", "RunOn", "", 260, "1", 1},
    {"no-file", nullptr, "Option", "RunOn", "", 260, "", 0},
    {"no-file-default", nullptr, "Option", "RunOn", "7", 260, "7", 1},
    {"default-trailing-blanks", nullptr, "Option", "RunOn", "ab  ", 260, "ab", 2},
    {"missing-key", "[Option]\r\nDrive=E:\\\r\n", "Option", "RunOn", "", 260, "", 0},
    {"missing-section", "[Other]\r\nRunOn=0\r\n", "Option", "RunOn", "", 260, "", 0},
    {"empty-value", "[Option]\r\nRunOn=\r\n", "Option", "RunOn", "x", 260, "", 0},
    {"key-without-equals", "[Option]\r\nRunOn\r\n", "Option", "RunOn", "d", 260, "d", 1},
    {"blanks-trimmed", "[Option]\r\n  RunOn  =   spaced value   \r\n", "Option", "RunOn", "", 260, "spaced value", 12},
    {"tab-trimmed", "[Option]\r\nRunOn=\t1\t\r\n", "Option", "RunOn", "", 260, "1", 1},
    {"section-blanks", "[ Option ]\r\nRunOn=0\r\n", "Option", "RunOn", "", 260, "0", 1},
    {"section-case", "[OPTION]\r\nrunon=0\r\n", "Option", "RunOn", "", 260, "0", 1},
    {"double-quotes", "[Option]\r\nDrive=\"D:\\\"\r\n", "Option", "Drive", "", 260, "D:\\", 3},
    {"single-quotes", "[Option]\r\nDrive='x'\r\n", "Option", "Drive", "", 260, "x", 1},
    {"unmatched-quote", "[Option]\r\nDrive=\"x\r\n", "Option", "Drive", "", 260, "\"x", 2},
    {"signed-number", "[Option]\r\nRunOn= -1\r\n", "Option", "RunOn", "", 260, "-1", 2},
    {"cp932-value", "[Option]\r\nDrive=\x91\x53\x82\xC4\r\n", "Option", "Drive", "", 260, "\x91\x53\x82\xC4", 4},
    {"cp932-trail-5c", "[Option]\r\nDrive=\x95\x5C\r\n", "Option", "Drive", "", 260, "\x95\x5C", 2},
    {"truncated", "[Option]\r\nDrive=abcdefgh\r\n", "Option", "Drive", "", 4, "abc", 3},
    {"exact-fit", "[Option]\r\nDrive=abc\r\n", "Option", "Drive", "", 4, "abc", 3},
    {"duplicate-key-first-wins", "[Option]\r\nRunOn=0\r\nRunOn=1\r\n", "Option", "RunOn", "", 260, "0", 1},
    {"comment-line", "[Option]\r\n;RunOn=0\r\nCloseOn=1\r\n", "Option", "RunOn", "", 260, "", 0},
    {"keys-before-section", "RunOn=0\r\n[Option]\r\nCloseOn=1\r\n", "Option", "RunOn", "", 260, "", 0},
    {"unclosed-section-header", "[Option]\r\n[Other\r\nRunOn=0\r\n", "Option", "RunOn", "", 260, "0", 1},
    {"second-section", "[Other]\r\nRunOn=0\r\n[Option]\r\nRunOn=1\r\n", "Option", "RunOn", "", 260, "1", 1},
};

struct ProfileWriteCase {
  const char* id;
  const char* before;  // nullptr: no file
  const char* section;
  const char* key;
  const char* value;
  const char* after;  // the file's exact bytes afterwards
};

static const ProfileWriteCase kProfileWriteCases[] = {
    {"new-file", nullptr, "Option", "RunOn", "1", "[Option]\r\nRunOn=1\r\n"},
    {"new-file-cp932", nullptr, "Option", "Drive", "\x91\x53\x82\xC4", "[Option]\r\nDrive=\x91\x53\x82\xC4\r\n"},
    {"replace-value", "[Option]\r\nRunOn=1\r\nCloseOn=0\r\n", "Option", "RunOn", "0",
     "[Option]\r\nRunOn=0\r\nCloseOn=0\r\n"},
    {"add-key-to-section", "[Option]\r\nRunOn=1\r\n", "Option", "CloseOn", "0",
     "[Option]\r\nRunOn=1\r\nCloseOn=0\r\n"},
    {"add-section", "[Other]\r\na=b\r\n", "Option", "RunOn", "1", "[Other]\r\na=b\r\n[Option]\r\nRunOn=1\r\n"},
    {"leading-blanks-dropped", nullptr, "Option", "Drive", "  D:\\", "[Option]\r\nDrive=D:\\\r\n"},
    {"section-case-kept", "[OPTION]\r\nrunon=1\r\n", "Option", "RunOn", "0", "[OPTION]\r\nrunon=0\r\n"},
};
