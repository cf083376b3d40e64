// Keeps C++ exceptions inside the DLL: every entry point the host or the system
// calls runs its body through Guarded, which answers `fallback` if anything escapes.
#pragma once

template <typename Result, typename Body>
Result Guarded(Result fallback, Body body) noexcept {
  try {
    return body();
  } catch (...) {
    return fallback;
  }
}
