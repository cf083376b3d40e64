// BKC_OnPlugInInfo: the plug-in's identity texts, written into the host's record.
#include <cstring>

#include "base/cp932_texts.h"
#include "plugin/callbacks.h"

// QUINDLE_VENDOR and QUINDLE_HOMEPAGE are build options (CMakeLists.txt).

namespace {

struct InfoField {
  unsigned offset;
  const char* text;
};

const InfoField kInfoFields[] = {
    {0, "Quindle (portwick for Becky!)"},
    {80, QUINDLE_VENDOR},
    {160, "1.00"},
    {240, QUINDLE_TEXT_DESCRIPTION QUINDLE_HOMEPAGE},
};

// The first three fields must end before the next one starts.
static_assert(sizeof(QUINDLE_VENDOR) <= 80, "vendor text too long for its field");

}  // namespace

int WINAPI BKC_OnPlugInInfo(LPVOID info) {
  if (!info) return 0;
  char* record = static_cast<char*>(info);
  for (const InfoField& field : kInfoFields) {
    std::memcpy(record + field.offset, field.text, std::strlen(field.text) + 1);
  }
  return 0;
}
