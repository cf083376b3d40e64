// The drives of the Wine prefix the end-to-end suite runs in, as GetLogicalDriveStringsA lists
// them and GetDriveTypeA types them (2 removable, 3 fixed, 4 remote, 5 CD-ROM, 6 RAM disk).
// The Linux stand-in is configured from this table so that both give the same drive list; the
// Wine suite checks the table against the real prefix.
#pragma once

struct DriveCase {
  char letter;
  unsigned type;
};

static const DriveCase kPrefixDrives[] = {
    {'C', 3},
    {'D', 5},
    {'E', 5},
    {'Z', 3},
};

// The CD-ROM drive list those drives give: each root followed by one space, in drive order.
static const char kPrefixCdList[] = "D:\\ E:\\ ";
