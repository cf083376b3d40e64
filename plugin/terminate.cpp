// Replaces libstdc++'s verbose terminate handler, which would pull a demangler and
// stdio into the DLL. Nothing should ever get here: every entry point catches.
#include <cstdlib>

namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx
