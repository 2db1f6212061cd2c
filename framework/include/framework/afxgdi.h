// GDI wrappers: CGdiObject with CBitmap, CFont and CBrush; CDC and CPaintDC.
// Each object owns its handle and frees it when destroyed. FromHandle gives a
// temporary wrapper that the calling thread's idle time deletes (the handle
// itself is left alone). UI thread only.
#pragma once

#include "framework/afxgeom.h"
#include "framework/afxobj.h"
#include "framework/afxstr.h"

class CDC;
class CWnd;

class AFX_API CGdiObject : public CObject {
 public:
  HGDIOBJ m_hObject;

  CGdiObject();
  ~CGdiObject() override;
  static CGdiObject* FromHandle(HGDIOBJ hObject);
  HGDIOBJ GetSafeHandle() const { return m_hObject; }
  operator HGDIOBJ() const { return m_hObject; }
  BOOL Attach(HGDIOBJ hObject);
  HGDIOBJ Detach();
  BOOL DeleteObject();
  int GetObject(int count, LPVOID buffer) const;
};

class AFX_API CBitmap : public CGdiObject {
 public:
  static CBitmap* FromHandle(HBITMAP hBitmap);
  operator HBITMAP() const { return static_cast<HBITMAP>(m_hObject); }
  // Loads a bitmap found through the resource search chain.
  BOOL LoadBitmap(UINT id);
  BOOL LoadBitmap(LPCSTR name);
  BOOL CreateCompatibleBitmap(CDC* pDC, int width, int height);
  int GetBitmap(BITMAP* pBitMap) { return GetObject(sizeof(BITMAP), pBitMap); }
};

class AFX_API CFont : public CGdiObject {
 public:
  static CFont* FromHandle(HFONT hFont);
  operator HFONT() const { return static_cast<HFONT>(m_hObject); }
  BOOL CreateFont(int height, int width, int escapement, int orientation, int weight, BYTE italic,
                  BYTE underline, BYTE strikeOut, BYTE charSet, BYTE outPrecision,
                  BYTE clipPrecision, BYTE quality, BYTE pitchAndFamily, LPCSTR faceName);
  BOOL CreateFontIndirect(const LOGFONTA* pLogFont);
  // pointSize in tenths of a point, for the given DC or the screen.
  BOOL CreatePointFont(int pointSize, LPCSTR faceName, CDC* pDC = nullptr);
};

class AFX_API CBrush : public CGdiObject {
 public:
  CBrush() = default;
  explicit CBrush(COLORREF color);
  static CBrush* FromHandle(HBRUSH hBrush);
  operator HBRUSH() const { return static_cast<HBRUSH>(m_hObject); }
  BOOL CreateSolidBrush(COLORREF color);
};

class AFX_API CDC : public CObject {
 public:
  HDC m_hDC;

  CDC();
  ~CDC() override;
  static CDC* FromHandle(HDC hDC);
  HDC GetSafeHdc() const { return m_hDC; }
  operator HDC() const { return m_hDC; }
  BOOL Attach(HDC hDC);
  HDC Detach();
  BOOL CreateCompatibleDC(CDC* pDC);
  BOOL DeleteDC();

  int SaveDC() { return ::SaveDC(m_hDC); }
  BOOL RestoreDC(int savedDC) { return ::RestoreDC(m_hDC, savedDC); }
  int SetBkMode(int mode) { return ::SetBkMode(m_hDC, mode); }
  COLORREF SetTextColor(COLORREF color) { return ::SetTextColor(m_hDC, color); }
  COLORREF SetBkColor(COLORREF color) { return ::SetBkColor(m_hDC, color); }
  int GetDeviceCaps(int index) const { return ::GetDeviceCaps(m_hDC, index); }

  // Each returns the wrapper of the object that was selected before.
  CBitmap* SelectObject(CBitmap* pBitmap);
  CFont* SelectObject(CFont* pFont);
  CBrush* SelectObject(CBrush* pBrush);

  BOOL BitBlt(int x, int y, int width, int height, CDC* pSrcDC, int xSrc, int ySrc, DWORD rop);
  void FillSolidRect(LPCRECT rect, COLORREF color);
  void FillSolidRect(int x, int y, int cx, int cy, COLORREF color);
  void FillRect(LPCRECT rect, CBrush* pBrush) { ::FillRect(m_hDC, rect, *pBrush); }
  int DrawText(LPCSTR text, int count, LPRECT rect, UINT format) {
    return ::DrawTextA(m_hDC, text, count, rect, format);
  }
  int DrawText(const CString& text, LPRECT rect, UINT format) {
    return DrawText(text, text.GetLength(), rect, format);
  }
};

class AFX_API CPaintDC : public CDC {
 public:
  explicit CPaintDC(CWnd* pWnd);
  ~CPaintDC() override;
  PAINTSTRUCT m_ps;

 protected:
  HWND m_hWnd;
};
