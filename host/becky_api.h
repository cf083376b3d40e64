// CBeckyAPI: the table of the host's service functions, resolved by name from the
// host executable when the plug-in loads. Unbound while m_hHostModule is empty.
#pragma once

#include "base/platform.h"
#include "host/becky_api_names.h"

class CBeckyAPI {
 public:
  // The host version from which BKA_SetStatus must be present.
  static constexpr const char kSetStatusVersion[] = "2.00.06";

  constexpr CBeckyAPI() = default;
  CBeckyAPI(const CBeckyAPI&) = delete;
  CBeckyAPI& operator=(const CBeckyAPI&) = delete;

  // Resolves the table against the process's executable; 1 when usable, else 0
  // (and unbound again). A bound table answers 1 at once.
  int Bind();
  bool IsBound() const { return m_hHostModule != nullptr; }

#define QUINDLE_SLOT(name, required) FARPROC name = nullptr;
  QUINDLE_BECKY_API(QUINDLE_SLOT)
#undef QUINDLE_SLOT
  HMODULE m_hHostModule = nullptr;

 private:
  bool AcceptsVersion() const;
};
