// Ordering cases for lstrcmpA (version texts, keywords) and lstrcmpiA (drive roots).
// The Linux tests run them against the stand-in, the Wine suite against the real
// functions; both must agree. sign is -1, 0 or 1.
#pragma once

struct LstrcmpCase {
  const char* id;
  const char* a;
  const char* b;
  int sign;
};

static const LstrcmpCase kLstrcmpCases[] = {
    {"same-version", "2.00.06", "2.00.06", 0},
    {"older-version", "2.00.05", "2.00.06", -1},
    {"newer-version", "2.10.00", "2.00.06", 1},
    {"letter-suffix", "2.00.05a", "2.00.06", -1},
    {"prefix-shorter", "2.00", "2.00.06", -1},
    {"empty", "", "2.00.06", -1},
    {"major-three", "3.0", "2.00.06", 1},
    {"case-lower-first", "a", "A", -1},
    {"letters-after-digits", "a", "1", 1},
    {"keyword-all-equal", "\x91\x53\x82\xC4", "\x91\x53\x82\xC4", 0},
    {"keyword-default-equal", "\x83\x66\x83\x74\x83\x48\x83\x8B\x83\x67",
     "\x83\x66\x83\x74\x83\x48\x83\x8B\x83\x67", 0},
    {"root-vs-keyword", "D:\\", "\x91\x53\x82\xC4", -1},
    {"lower-root-vs-upper", "d:\\", "D:\\", -1},
};

static const LstrcmpCase kLstrcmpiCases[] = {
    {"root-case", "e:\\", "E:\\", 0},
    {"root-differs", "D:\\", "E:\\", -1},
    {"root-vs-empty", "D:\\", "", 1},
    {"keyword-all", "\x91\x53\x82\xC4", "\x91\x53\x82\xC4", 0},
};
