// CString: a byte string (code page 932 text), as much as the host and the
// plug-in interface need. Storage is owned by framework.dll; any thread may
// use its own strings.
#pragma once

#include "framework/afx_api.h"

class AFX_API CString {
 public:
  CString();
  CString(const CString& other);
  CString(LPCSTR text);  // NOLINT: implicit like the framework's own
  CString(LPCSTR text, int length);
  ~CString();

  CString& operator=(const CString& other);
  CString& operator=(LPCSTR text);

  int GetLength() const { return m_nLength; }
  BOOL IsEmpty() const { return m_nLength == 0; }
  void Empty();
  operator LPCSTR() const;  // NOLINT: implicit like the framework's own
  int Compare(LPCSTR text) const;

  // Direct writing: GetBuffer gives room for at least minLength bytes plus a
  // terminator; ReleaseBuffer takes the length (or strlen when -1).
  LPSTR GetBuffer(int minLength);
  void ReleaseBuffer(int newLength = -1);

  // Loads string table entry id through the resource search chain.
  BOOL LoadString(UINT id);

 private:
  void Assign(LPCSTR text, int length);

  char* m_pchData;
  int m_nLength;
  int m_nAlloc;
};

AFX_API bool operator==(const CString& a, LPCSTR b);
AFX_API bool operator!=(const CString& a, LPCSTR b);
