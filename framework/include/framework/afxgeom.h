// CPoint, CSize and CRect: the Win32 geometry structures with the framework's
// helpers. Header only; plain values usable on any thread.
#pragma once

#include "framework/afx_api.h"

class CSize : public tagSIZE {
 public:
  CSize() { cx = cy = 0; }
  CSize(int x, int y) { cx = x, cy = y; }
  bool operator==(const SIZE& o) const { return cx == o.cx && cy == o.cy; }
};

class CPoint : public tagPOINT {
 public:
  CPoint() { x = y = 0; }
  CPoint(int ix, int iy) { x = ix, y = iy; }
  CPoint(POINT pt) { x = pt.x, y = pt.y; }  // NOLINT: implicit like the framework's own
  // From a mouse message's lParam: signed 16-bit coordinates.
  explicit CPoint(LPARAM lParam) {
    x = static_cast<short>(LOWORD(lParam));
    y = static_cast<short>(HIWORD(lParam));
  }
  bool operator==(const POINT& o) const { return x == o.x && y == o.y; }
};

class CRect : public tagRECT {
 public:
  CRect() { left = top = right = bottom = 0; }
  CRect(int l, int t, int r, int b) { left = l, top = t, right = r, bottom = b; }
  CRect(const RECT& r) {
    left = r.left, top = r.top, right = r.right, bottom = r.bottom;
  }  // NOLINT
  CRect(POINT topLeft, SIZE size) {
    left = topLeft.x, top = topLeft.y, right = left + size.cx, bottom = top + size.cy;
  }
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  CSize Size() const { return CSize(Width(), Height()); }
  CPoint TopLeft() const { return CPoint(left, top); }
  CPoint BottomRight() const { return CPoint(right, bottom); }
  BOOL IsRectEmpty() const { return ::IsRectEmpty(this); }
  BOOL PtInRect(POINT pt) const { return ::PtInRect(this, pt); }
  void SetRect(int l, int t, int r, int b) { ::SetRect(this, l, t, r, b); }
  void OffsetRect(int dx, int dy) { ::OffsetRect(this, dx, dy); }
  bool operator==(const RECT& o) const { return ::EqualRect(this, &o) != 0; }
  operator LPRECT() { return this; }
  operator LPCRECT() const { return this; }
};
