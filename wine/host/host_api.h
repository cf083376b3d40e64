// The test host's side of the mail-client interface: its version text, a count of how often the
// plug-in asked for it, and which variant of the export table this executable was built with.
#pragma once

// Version text that BKA_GetVersion hands out; set before each load of the plug-in.
void SetHostVersion(const char* text);
// Number of BKA_GetVersion calls since the last SetHostVersion.
int HostVersionCalls();

// Export missing from this build of the host ("" for the full host), from HOST_LACKS.
const char* HostLacks();
