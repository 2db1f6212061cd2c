// GDI wrappers: memory DCs with selected bitmaps, fonts from point sizes,
// painting through CPaintDC, and menu editing through CMenu.
#include <gtest/gtest.h>

#include "framework/afxwin.h"
#include "tests/support/message_pump.h"

namespace {

TEST(Gdi, MemoryDcSelectsABitmapAndHandsBackThePreviousOne) {
  CDC memory;
  ASSERT_TRUE(memory.CreateCompatibleDC(nullptr));
  EXPECT_FALSE(memory.CreateCompatibleDC(nullptr)) << "a wrapper keeps the handle it holds";
  CDC* screen = CDC::FromHandle(::GetDC(nullptr));
  CBitmap bitmap;
  ASSERT_TRUE(bitmap.CreateCompatibleBitmap(screen, 20, 10));
  ::ReleaseDC(nullptr, screen->m_hDC);
  CBitmap* previous = memory.SelectObject(&bitmap);
  ASSERT_NE(previous, nullptr);
  EXPECT_NE(static_cast<HBITMAP>(*previous), static_cast<HBITMAP>(bitmap));

  memory.FillSolidRect(0, 0, 20, 10, RGB(0, 0, 255));
  memory.FillSolidRect(CRect(5, 5, 6, 6), RGB(255, 0, 0));
  EXPECT_EQ(::GetPixel(memory, 0, 0), RGB(0, 0, 255));
  EXPECT_EQ(::GetPixel(memory, 5, 5), RGB(255, 0, 0));

  CDC copy;
  ASSERT_TRUE(copy.CreateCompatibleDC(&memory));
  CBitmap target;
  ASSERT_TRUE(target.CreateCompatibleBitmap(&memory, 20, 10));
  copy.SelectObject(&target);
  EXPECT_TRUE(copy.BitBlt(0, 0, 20, 10, &memory, 0, 0, SRCCOPY));
  EXPECT_EQ(::GetPixel(copy, 5, 5), RGB(255, 0, 0));

  CBitmap* back = memory.SelectObject(previous);
  EXPECT_EQ(static_cast<HBITMAP>(*back), static_cast<HBITMAP>(bitmap));
}

TEST(Gdi, PointFontHeightFollowsTheScreenResolution) {
  CFont font;
  ASSERT_TRUE(font.CreatePointFont(130, "SYSTEM"));
  EXPECT_FALSE(font.CreatePointFont(90, "SYSTEM")) << "the 13-point font stays";
  LOGFONTA lf = {};
  ASSERT_TRUE(font.GetObject(sizeof lf, &lf));
  HDC screen = ::GetDC(nullptr);
  int dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
  ::ReleaseDC(nullptr, screen);
  EXPECT_EQ(lf.lfHeight, -(dpi * 130 / 720));
  EXPECT_STREQ(lf.lfFaceName, "SYSTEM");
}

class PaintingWnd : public CWnd {
 public:
  int paints = 0;

 protected:
  afx_msg void OnPaint() {
    CPaintDC dc(this);
    ++paints;
    dc.FillSolidRect(CRect(0, 0, 10, 10), RGB(0, 255, 0));
  }

  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(PaintingWnd, CWnd)
  ON_WM_PAINT()
END_MESSAGE_MAP()

TEST(Gdi, PaintDcValidatesTheWindow) {
  PaintingWnd wnd;
  ASSERT_TRUE(wnd.CreateEx(0, nullptr, "", WS_POPUP | WS_VISIBLE, 0, 0, 30, 30, nullptr, nullptr));
  wnd.Invalidate();
  wnd.UpdateWindow();
  EXPECT_GE(wnd.paints, 1);
  RECT dirty;
  EXPECT_FALSE(::GetUpdateRect(wnd.m_hWnd, &dirty, FALSE)) << "EndPaint validated it";
  wnd.DestroyWindow();
}

TEST(Menu, SystemMenuItemsCanBeRemovedByCommandAndPosition) {
  CWnd wnd;
  ASSERT_TRUE(wnd.CreateEx(0, nullptr, "", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr));
  CMenu* menu = wnd.GetSystemMenu(FALSE);
  ASSERT_NE(menu, nullptr);
  int count = menu->GetMenuItemCount();
  EXPECT_TRUE(menu->RemoveMenu(SC_CLOSE, MF_BYCOMMAND));
  EXPECT_TRUE(menu->RemoveMenu(menu->GetMenuItemCount() - 1, MF_BYPOSITION));
  EXPECT_EQ(menu->GetMenuItemCount(), count - 2);
  for (int i = 0; i < menu->GetMenuItemCount(); ++i) EXPECT_NE(menu->GetMenuItemID(i), SC_CLOSE);
  wnd.DestroyWindow();
}

}  // namespace
