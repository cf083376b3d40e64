// TnString: growth, copying and the combo-box loader.
#include "base/tn_string.h"

#include <climits>
#include <cstring>

namespace {
const char kEmptyText[1] = "";
}

TnString::~TnString() {
  if (m_buffer) HeapFree(GetProcessHeap(), 0, m_buffer);
}

LPCSTR TnString::GetText() const { return m_buffer ? m_buffer : kEmptyText; }

bool TnString::Owns(LPCSTR text) const {
  // Compare as integers: pointers into different objects are not ordered.
  const UINT_PTR p = reinterpret_cast<UINT_PTR>(text);
  const UINT_PTR b = reinterpret_cast<UINT_PTR>(m_buffer);
  return m_buffer && p >= b && p < b + static_cast<UINT_PTR>(m_capacity);
}

int TnString::CapacityFor(int k) {
  if (k < 0 || k > INT_MAX - kSlack) throw TnStringError{kOutOfMemory};
  return k + kSlack;
}

LPSTR TnString::Allocate(int bytes) {
  LPSTR p = static_cast<LPSTR>(HeapAlloc(GetProcessHeap(), 0, static_cast<std::size_t>(bytes)));
  if (!p) throw TnStringError{kOutOfMemory};
  return p;
}

void TnString::SetLength(int n) {
  if (n < 0) throw TnStringError{kOutOfMemory};
  if (n >= m_capacity) {
    const int capacity = CapacityFor(n);
    LPSTR grown;
    if (m_buffer) {
      grown = static_cast<LPSTR>(
          HeapReAlloc(GetProcessHeap(), 0, m_buffer, static_cast<std::size_t>(capacity)));
      if (!grown) throw TnStringError{kOutOfMemory};  // the old storage is still ours and intact
    } else {
      grown = Allocate(capacity);
      grown[0] = '\0';
    }
    m_buffer = grown;
    m_capacity = capacity;
  }
  m_length = n;
}

LPCSTR TnString::Assign(LPCSTR text) {
  if (!text) {
    m_length = 0;
    if (!m_buffer) return kEmptyText;
    m_buffer[0] = '\0';
    return m_buffer;
  }
  const int n = lstrlenA(text);
  if (n >= m_capacity) {
    // Fresh storage first: text may lie inside the old one.
    LPSTR fresh = Allocate(CapacityFor(n));
    std::memcpy(fresh, text, static_cast<std::size_t>(n) + 1);
    if (m_buffer) HeapFree(GetProcessHeap(), 0, m_buffer);
    m_buffer = fresh;
    m_capacity = n + kSlack;
  } else {
    std::memmove(m_buffer, text, static_cast<std::size_t>(n) + 1);
  }
  m_length = n;
  return m_buffer;
}

void TnString::Append(LPCSTR text) {
  if (!text) return;
  const int added = lstrlenA(text);
  if (added > INT_MAX - kSlack - m_length) throw TnStringError{kOutOfMemory};
  const int newLength = m_length + added;
  if (newLength >= m_capacity) {
    LPSTR fresh = Allocate(CapacityFor(newLength));
    if (m_buffer) std::memcpy(fresh, m_buffer, static_cast<std::size_t>(m_length));
    // Copy the appended text before the old storage goes: it may lie inside it.
    std::memcpy(fresh + m_length, text, static_cast<std::size_t>(added) + 1);
    if (m_buffer) HeapFree(GetProcessHeap(), 0, m_buffer);
    m_buffer = fresh;
    m_capacity = newLength + kSlack;
  } else {
    std::memmove(m_buffer + m_length, text, static_cast<std::size_t>(added) + 1);
  }
  m_length = newLength;
}

void TnString::AppendChar(char c) {
  const char text[2] = {c, '\0'};
  Append(text);
}

void TnString::LoadComboItem(HWND combo, int index) {
  const LRESULT length = SendMessageA(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
  if (length < 0 || length > INT_MAX - kSlack) {  // CB_ERR: no such item
    Assign("");
    return;
  }
  SetLength(static_cast<int>(length));
  m_buffer[0] = '\0';
  const LRESULT copied =
      SendMessageA(combo, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(m_buffer));
  // Trust only what was written: an item that shrank or vanished in between
  // must not leave the length pointing past the text.
  m_length = (copied >= 0 && copied <= length) ? static_cast<int>(copied) : 0;
  m_buffer[m_length] = '\0';
}
