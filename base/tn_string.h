// TnString: the plug-in's growable 8-bit text (system code page), handed to the
// platform's string functions as a plain NUL-terminated text. Storage comes from the
// process heap and grows to the needed size plus a 20-byte slack. When storage cannot
// be had, an operation throws TnStringError (carrying the code 1) and leaves the
// object as it was.
#pragma once

#include "base/platform.h"

// Thrown when a text's storage cannot be had.
struct TnStringError {
  int code;
};

class TnString {
 public:
  static constexpr int kSlack = 20;
  static constexpr int kOutOfMemory = 1;  // the code thrown when storage can't be had

  TnString() = default;
  ~TnString();
  TnString(const TnString&) = delete;
  TnString& operator=(const TnString&) = delete;

  LPCSTR GetText() const;
  int GetLength() const { return m_length; }
  int GetCapacity() const { return m_capacity; }

  // Makes room for n characters and a NUL, then sets the length to n; the caller
  // writes the characters and the NUL into GetBuffer().
  void SetLength(int n);
  LPSTR GetBuffer() { return m_buffer; }

  // Replaces the content; a null text empties it. Returns the content.
  LPCSTR Assign(LPCSTR text);
  // Appends text; a null text changes nothing.
  void Append(LPCSTR text);
  // Appends one character; a NUL appends nothing.
  void AppendChar(char c);

  int Compare(LPCSTR text) const { return lstrcmpA(GetText(), text); }
  int CompareNoCase(LPCSTR text) const { return lstrcmpiA(GetText(), text); }

  // Replaces the content with item `index` of a combo box; an index the combo box
  // does not have leaves an empty text.
  void LoadComboItem(HWND combo, int index);

 private:
  bool Owns(LPCSTR text) const;
  // Storage able to hold k characters and a NUL: k + slack bytes, or a throw.
  static int CapacityFor(int k);
  static LPSTR Allocate(int bytes);

  int m_length = 0;
  int m_capacity = 0;
  LPSTR m_buffer = nullptr;
};
