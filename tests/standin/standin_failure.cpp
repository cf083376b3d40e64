// The stand-in's loud failure, and Reset across every model.
#include <cstdio>
#include <cstdlib>

#include "standin/standin_control.h"
#include "standin/standin_internal.h"

namespace standin {

void Unexpected(const char* what, const std::string& detail) {
  std::fprintf(stderr, "stand-in: unexpected call: %s %s\n", what, detail.c_str());
  std::fflush(stderr);
  std::abort();
}

void Reset() {
  ResetKernel();
  ResetHeap();
  ResetProfile();
  ResetDrives();
  ResetMci();
  ResetDialogs();
}

}  // namespace standin
