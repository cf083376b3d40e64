// Calls a plug-in export the way the mail client does (WINAPI: arguments pushed right to left,
// the callee removes them) and measures what the call did to the stack pointer and to the
// registers a WINAPI function must preserve.
#pragma once

#include <stdint.h>

struct ProbeResult {
  uint32_t ret;        // EAX
  int32_t espDelta;    // ESP after the call minus ESP before the arguments were pushed: 0 when
                       // the callee removed exactly the arguments it was given
  bool savedRegsKept;  // EBX, ESI, EDI and EBP came back unchanged
};

ProbeResult CallProbed(const void* fn, unsigned argc, const uint32_t* args);
