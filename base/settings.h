// The three settings in section "Option" of the settings file beside the module.
// Readers return 1 when the key gave a non-empty value and 0 when they fell back
// to the default; nothing is cached, every call reads the file. Without a usable
// settings path, readers give their defaults and writers write nothing.
#pragma once

#include "base/platform.h"
#include "base/tn_string.h"

int ReadDrive(TnString& out);  // default: empty text
int ReadRunOn(int& out);       // default: 1
int ReadCloseOn(int& out);     // default: 0

BOOL WriteDrive(LPCSTR text);
BOOL WriteRunOn(int value);    // writes the one character '0' + value
BOOL WriteCloseOn(int value);

// Decimal conversion as atol does it: leading blanks, an optional sign, digits up to
// the first non-digit; no digits gives 0. Saturates instead of overflowing.
long ParseDecimal(LPCSTR text);
