// Finding the CD-ROM drives: the drive list is one text of drive roots as the system
// reports them, each followed by one space ("D:\ E:\ "), in the system's order.
#pragma once

#include "base/tn_string.h"

// Replaces `out` with the drive list; 1 when at least one CD-ROM drive was found.
int ListCdDrives(TnString& out);

// Calls `visit(entry)` for each entry of a drive list, in order. Each entry is the
// position in the list where it starts (its text runs to the next space or the end),
// so a list that lacks its final space still ends where its text ends.
template <typename Visit>
void ForEachDriveEntry(LPCSTR list, Visit visit) {
  for (LPCSTR p = list; *p != '\0';) {
    visit(p);
    while (*p != '\0' && *p != ' ') ++p;
    if (*p == ' ') ++p;
  }
}
