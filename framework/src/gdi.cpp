// GDI wrappers: ownership of GDI handles and the DC operations in use.
#include <cstdlib>
#include <cstring>

#include "afx_state.h"

namespace {

// A handle made for an object that already holds one is deleted again: the
// object keeps its own, as Attach does.
BOOL AttachNew(CGdiObject* object, HGDIOBJ made) {
  if (object->Attach(made)) return TRUE;
  if (made) ::DeleteObject(made);
  return FALSE;
}

}  // namespace

CGdiObject::CGdiObject() : m_hObject(nullptr) {}
CGdiObject::~CGdiObject() { DeleteObject(); }

CGdiObject* CGdiObject::FromHandle(HGDIOBJ hObject) {
  return hObject ? AfxGetThreadState()->m_tempGdi.Get<CGdiObject>(hObject) : nullptr;
}

BOOL CGdiObject::Attach(HGDIOBJ hObject) {
  if (!hObject || m_hObject) return FALSE;
  m_hObject = hObject;
  return TRUE;
}

HGDIOBJ CGdiObject::Detach() {
  HGDIOBJ h = m_hObject;
  m_hObject = nullptr;
  return h;
}

BOOL CGdiObject::DeleteObject() {
  if (!m_hObject) return FALSE;
  BOOL ok = ::DeleteObject(Detach());
  return ok;
}

int CGdiObject::GetObject(int count, LPVOID buffer) const {
  return m_hObject ? ::GetObjectA(m_hObject, count, buffer) : 0;
}

CBitmap* CBitmap::FromHandle(HBITMAP h) {
  return h ? AfxGetThreadState()->m_tempGdi.Get<CBitmap>(h) : nullptr;
}

BOOL CBitmap::LoadBitmap(LPCSTR name) {
  HINSTANCE hInst = AfxFindResourceHandle(name, reinterpret_cast<LPCSTR>(RT_BITMAP));
  return AttachNew(this, ::LoadBitmapA(hInst, name));
}

BOOL CBitmap::LoadBitmap(UINT id) { return LoadBitmap(MAKEINTRESOURCEA(id)); }

BOOL CBitmap::CreateCompatibleBitmap(CDC* pDC, int width, int height) {
  return AttachNew(this, ::CreateCompatibleBitmap(pDC->m_hDC, width, height));
}

CFont* CFont::FromHandle(HFONT h) {
  return h ? AfxGetThreadState()->m_tempGdi.Get<CFont>(h) : nullptr;
}

BOOL CFont::CreateFont(int height, int width, int escapement, int orientation, int weight,
                       BYTE italic, BYTE underline, BYTE strikeOut, BYTE charSet, BYTE outPrecision,
                       BYTE clipPrecision, BYTE quality, BYTE pitchAndFamily, LPCSTR faceName) {
  return AttachNew(this, ::CreateFontA(height, width, escapement, orientation, weight, italic,
                                       underline, strikeOut, charSet, outPrecision, clipPrecision,
                                       quality, pitchAndFamily, faceName));
}

BOOL CFont::CreateFontIndirect(const LOGFONTA* pLogFont) {
  return AttachNew(this, ::CreateFontIndirectA(pLogFont));
}

BOOL CFont::CreatePointFont(int pointSize, LPCSTR faceName, CDC* pDC) {
  LOGFONTA lf;
  memset(&lf, 0, sizeof lf);
  lf.lfCharSet = DEFAULT_CHARSET;
  if (faceName) lstrcpynA(lf.lfFaceName, faceName, LF_FACESIZE);
  HDC hDC = pDC ? pDC->m_hDC : ::GetDC(nullptr);
  // Tenths of a point to logical units of the DC.
  POINT pt = {0, ::GetDeviceCaps(hDC, LOGPIXELSY) * pointSize / 720};
  POINT origin = {0, 0};
  ::DPtoLP(hDC, &pt, 1);
  ::DPtoLP(hDC, &origin, 1);
  lf.lfHeight = -abs(static_cast<int>(pt.y - origin.y));
  if (!pDC) ::ReleaseDC(nullptr, hDC);
  return CreateFontIndirect(&lf);
}

CBrush::CBrush(COLORREF color) { CreateSolidBrush(color); }

CBrush* CBrush::FromHandle(HBRUSH h) {
  return h ? AfxGetThreadState()->m_tempGdi.Get<CBrush>(h) : nullptr;
}

BOOL CBrush::CreateSolidBrush(COLORREF color) { return AttachNew(this, ::CreateSolidBrush(color)); }

CDC::CDC() : m_hDC(nullptr) {}
CDC::~CDC() { DeleteDC(); }

CDC* CDC::FromHandle(HDC hDC) {
  return hDC ? AfxGetThreadState()->m_tempDCs.Get<CDC>(hDC) : nullptr;
}

BOOL CDC::Attach(HDC hDC) {
  if (!hDC || m_hDC) return FALSE;
  m_hDC = hDC;
  return TRUE;
}

HDC CDC::Detach() {
  HDC h = m_hDC;
  m_hDC = nullptr;
  return h;
}

BOOL CDC::CreateCompatibleDC(CDC* pDC) {
  const HDC made = ::CreateCompatibleDC(pDC ? pDC->m_hDC : nullptr);
  if (Attach(made)) return TRUE;
  if (made) ::DeleteDC(made);
  return FALSE;
}

BOOL CDC::DeleteDC() {
  if (!m_hDC) return FALSE;
  return ::DeleteDC(Detach());
}

CBitmap* CDC::SelectObject(CBitmap* pBitmap) {
  return CBitmap::FromHandle(static_cast<HBITMAP>(::SelectObject(m_hDC, pBitmap->m_hObject)));
}

CFont* CDC::SelectObject(CFont* pFont) {
  return CFont::FromHandle(static_cast<HFONT>(::SelectObject(m_hDC, pFont->m_hObject)));
}

CBrush* CDC::SelectObject(CBrush* pBrush) {
  return CBrush::FromHandle(static_cast<HBRUSH>(::SelectObject(m_hDC, pBrush->m_hObject)));
}

BOOL CDC::BitBlt(int x, int y, int width, int height, CDC* pSrcDC, int xSrc, int ySrc, DWORD rop) {
  return ::BitBlt(m_hDC, x, y, width, height, pSrcDC ? pSrcDC->m_hDC : nullptr, xSrc, ySrc, rop);
}

void CDC::FillSolidRect(LPCRECT rect, COLORREF color) {
  // The framework's way: an opaque empty text output paints with the
  // background colour, no brush needed.
  COLORREF old = ::SetBkColor(m_hDC, color);
  ::ExtTextOutA(m_hDC, 0, 0, ETO_OPAQUE, rect, nullptr, 0, nullptr);
  ::SetBkColor(m_hDC, old);
}

void CDC::FillSolidRect(int x, int y, int cx, int cy, COLORREF color) {
  RECT r = {x, y, x + cx, y + cy};
  FillSolidRect(&r, color);
}

CPaintDC::CPaintDC(CWnd* pWnd) : m_hWnd(pWnd->m_hWnd) { m_hDC = ::BeginPaint(m_hWnd, &m_ps); }

CPaintDC::~CPaintDC() {
  ::EndPaint(m_hWnd, &m_ps);
  m_hDC = nullptr;  // EndPaint released it
}
