// CString: heap storage owned by framework.dll, always NUL-terminated.
#include <cstdlib>
#include <cstring>

#include "framework/afxwin.h"

CString::CString() : m_pchData(nullptr), m_nLength(0), m_nAlloc(0) {}

CString::CString(const CString& other) : CString() { Assign(other, other.m_nLength); }

CString::CString(LPCSTR text) : CString() {
  Assign(text, text ? static_cast<int>(strlen(text)) : 0);
}

CString::CString(LPCSTR text, int length) : CString() {
  Assign(text, text && length > 0 ? length : 0);
}

CString::~CString() { free(m_pchData); }

CString& CString::operator=(const CString& other) {
  if (this != &other) Assign(other, other.m_nLength);
  return *this;
}

CString& CString::operator=(LPCSTR text) {
  Assign(text, text ? static_cast<int>(strlen(text)) : 0);
  return *this;
}

void CString::Assign(LPCSTR text, int length) {
  if (length == 0) {
    Empty();
    return;
  }
  if (text >= m_pchData && m_pchData && text < m_pchData + m_nAlloc) {
    memmove(m_pchData, text, length);  // a part of ourselves
  } else {
    GetBuffer(length);
    memcpy(m_pchData, text, length);
  }
  ReleaseBuffer(length);
}

void CString::Empty() {
  free(m_pchData);
  m_pchData = nullptr;
  m_nLength = m_nAlloc = 0;
}

CString::operator LPCSTR() const { return m_pchData ? m_pchData : ""; }

int CString::Compare(LPCSTR text) const { return strcmp(*this, text ? text : ""); }

LPSTR CString::GetBuffer(int minLength) {
  if (minLength < m_nLength) minLength = m_nLength;
  if (minLength + 1 > m_nAlloc) {
    char* grown = static_cast<char*>(realloc(m_pchData, minLength + 1));
    if (!grown) return m_pchData;
    if (!m_pchData) grown[0] = '\0';
    m_pchData = grown;
    m_nAlloc = minLength + 1;
  }
  return m_pchData;
}

void CString::ReleaseBuffer(int newLength) {
  if (!m_pchData) return;
  if (newLength < 0) newLength = static_cast<int>(strnlen(m_pchData, m_nAlloc - 1));
  if (newLength > m_nAlloc - 1) newLength = m_nAlloc - 1;
  m_pchData[newLength] = '\0';
  m_nLength = newLength;
}

BOOL CString::LoadString(UINT id) {
  // String tables hold blocks of 16 strings.
  LPCSTR block = MAKEINTRESOURCEA(id / 16 + 1);
  HINSTANCE hInst = AfxFindResourceHandle(block, MAKEINTRESOURCEA(6) /* RT_STRING */);
  char buffer[1024];
  int length = ::LoadStringA(hInst, id, buffer, sizeof buffer);
  if (length <= 0) {
    Empty();
    return FALSE;
  }
  Assign(buffer, length);
  return TRUE;
}

bool operator==(const CString& a, LPCSTR b) { return a.Compare(b) == 0; }
bool operator!=(const CString& a, LPCSTR b) { return a.Compare(b) != 0; }
