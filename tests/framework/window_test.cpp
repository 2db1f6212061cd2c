// Window objects: attachment before the first message, dispatch to handlers,
// subclassing of existing windows, and the end of a window's life.
#include <gtest/gtest.h>

#include <vector>

#include "framework/afxwin.h"
#include "tests/support/message_pump.h"

namespace {

constexpr UINT WM_PRIVATE = WM_USER + 7;

class RecordingWnd : public CWnd {
 public:
  std::vector<UINT> calls;
  bool attachedAtCreate = false;
  int createResult = 0;
  int postNcDestroyCount = 0;
  CSize lastSize;

 protected:
  afx_msg LRESULT OnPrivate(WPARAM wParam, LPARAM lParam) {
    return static_cast<LRESULT>(wParam + lParam);
  }
  afx_msg int OnCreate(LPCREATESTRUCT cs) {
    attachedAtCreate = FromHandlePermanent(m_hWnd) == this;
    calls.push_back(WM_CREATE);
    return CWnd::OnCreate(cs) == -1 ? -1 : createResult;
  }
  afx_msg void OnSize(UINT type, int cx, int cy) {
    calls.push_back(WM_SIZE);
    lastSize = CSize(cx, cy);
    CWnd::OnSize(type, cx, cy);
  }
  afx_msg void OnTimer(UINT id) {
    calls.push_back(WM_TIMER);
    KillTimer(id);
  }
  afx_msg void OnDestroy() {
    calls.push_back(WM_DESTROY);
    CWnd::OnDestroy();
  }
  void PostNcDestroy() override { ++postNcDestroyCount; }

  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(RecordingWnd, CWnd)
  ON_MESSAGE(WM_PRIVATE, OnPrivate)
  ON_WM_CREATE()
  ON_WM_SIZE()
  ON_WM_TIMER()
  ON_WM_DESTROY()
END_MESSAGE_MAP()

HWND CreatePlainEdit() {
  return ::CreateWindowExA(0, "EDIT", "", WS_POPUP, 0, 0, 100, 20, nullptr, nullptr,
                           ::GetModuleHandleA(nullptr), nullptr);
}

TEST(WindowObject, IsAttachedBeforeCreateAndReceivesItsMessagesThroughHandlers) {
  RecordingWnd wnd;
  ASSERT_TRUE(wnd.CreateEx(0, nullptr, "w", WS_POPUP, 0, 0, 50, 40, nullptr, nullptr));
  EXPECT_TRUE(wnd.attachedAtCreate);
  EXPECT_EQ(CWnd::FromHandlePermanent(wnd.m_hWnd), &wnd);

  wnd.MoveWindow(0, 0, 120, 90);
  EXPECT_EQ(wnd.lastSize.cx, 120) << "a border-less popup is all client area";
  EXPECT_EQ(wnd.SendMessage(WM_PRIVATE, 40, 2), 42) << "private messages reach WindowProc";

  wnd.SetTimer(5, 1);
  EXPECT_TRUE(PumpUntil(kHangBoundMs, [&] { return wnd.calls.back() == WM_TIMER; }));

  HWND hWnd = wnd.m_hWnd;
  wnd.DestroyWindow();
  EXPECT_EQ(wnd.calls.back(), static_cast<UINT>(WM_DESTROY));
  EXPECT_EQ(wnd.postNcDestroyCount, 1);
  EXPECT_EQ(wnd.m_hWnd, nullptr);
  EXPECT_EQ(CWnd::FromHandlePermanent(hWnd), nullptr);
}

// A window whose procedure is the framework's already (made through an
// object since detached): a new object subclasses it without chaining to the
// framework's procedure itself, so default processing ends.
TEST(WindowObject, SubclassingAWindowOfTheFrameworksOwnProcedureDefaultsOnce) {
  CWnd first;
  ASSERT_TRUE(first.CreateEx(0, nullptr, "w", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
  const HWND hWnd = first.Detach();
  CWnd second;
  ASSERT_TRUE(second.SubclassWindow(hWnd));
  second.SetWindowText("abc");
  EXPECT_EQ(3, ::GetWindowTextLengthA(hWnd));
  second.DestroyWindow();
}

TEST(WindowObject, RefusedCreationLeavesNoWindowAndCleansUpOnce) {
  RecordingWnd wnd;
  wnd.createResult = -1;
  EXPECT_FALSE(wnd.CreateEx(0, nullptr, "w", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
  EXPECT_EQ(wnd.m_hWnd, nullptr);
  EXPECT_EQ(wnd.postNcDestroyCount, 1);
}

TEST(WindowObject, SubclassedControlRoutesMessagesAndGivesBackItsProcedure) {
  HWND hEdit = CreatePlainEdit();
  ASSERT_NE(hEdit, nullptr);
  LONG_PTR original = ::GetWindowLongPtrA(hEdit, GWLP_WNDPROC);

  RecordingWnd wnd;
  ASSERT_TRUE(wnd.SubclassWindow(hEdit));
  EXPECT_EQ(wnd.SendMessage(WM_PRIVATE, 1, 2), 3);
  ::SetWindowTextA(hEdit, "漢字");
  CString text;
  wnd.GetWindowText(text);
  EXPECT_STREQ(text, "漢字") << "unhandled messages reach the control's own procedure";

  EXPECT_EQ(wnd.UnsubclassWindow(), hEdit);
  EXPECT_EQ(::GetWindowLongPtrA(hEdit, GWLP_WNDPROC), original);
  EXPECT_EQ(CWnd::FromHandlePermanent(hEdit), nullptr);
  ::DestroyWindow(hEdit);
}

TEST(WindowObject, ForeignWindowGetsATemporaryWrapperUntilIdleTime) {
  HWND hEdit = CreatePlainEdit();
  CWnd* first = CWnd::FromHandle(hEdit);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->m_hWnd, hEdit);
  EXPECT_EQ(CWnd::FromHandle(hEdit), first) << "one wrapper per handle";
  EXPECT_EQ(CWnd::FromHandlePermanent(hEdit), nullptr);
  AfxDeleteTempMaps();
  EXPECT_TRUE(::IsWindow(hEdit)) << "freeing the wrapper leaves the window alone";
  ::DestroyWindow(hEdit);
}

class SelfDeletingFrame : public CFrameWnd {
 public:
  explicit SelfDeletingFrame(bool* deleted) : m_deleted(deleted) {}
  ~SelfDeletingFrame() override { *m_deleted = true; }

 private:
  bool* m_deleted;
};

TEST(FrameWindow, DeletesItselfAfterItsWindowIsDestroyed) {
  bool deleted = false;
  auto* frame = new SelfDeletingFrame(&deleted);
  ASSERT_TRUE(
      frame->CreateEx(0, nullptr, "frame", WS_OVERLAPPEDWINDOW, 0, 0, 200, 150, nullptr, nullptr));
  EXPECT_TRUE(frame->GetExStyle() & WS_EX_CLIENTEDGE) << "the frames' default look";
  HWND hWnd = frame->m_hWnd;
  EXPECT_FALSE(deleted);
  ::DestroyWindow(hWnd);  // as the system would, not through the object
  EXPECT_TRUE(deleted);
  EXPECT_EQ(CWnd::FromHandlePermanent(hWnd), nullptr);
}

TEST(FrameWindow, DestroyWindowOnTheFrameItselfEndsWithTheObjectGone) {
  bool deleted = false;
  auto* frame = new SelfDeletingFrame(&deleted);
  ASSERT_TRUE(
      frame->CreateEx(0, nullptr, "frame", WS_OVERLAPPEDWINDOW, 0, 0, 200, 150, nullptr, nullptr));
  HWND hWnd = frame->m_hWnd;
  EXPECT_TRUE(frame->DestroyWindow());
  EXPECT_TRUE(deleted);
  EXPECT_FALSE(::IsWindow(hWnd));
}

TEST(WindowObject, AttachedWindowIsForgottenWhenDestroyedThroughItsObject) {
  CWnd wnd;
  HWND hEdit = CreatePlainEdit();
  ASSERT_TRUE(wnd.Attach(hEdit));
  EXPECT_FALSE(CWnd().Attach(hEdit)) << "one object per window";
  EXPECT_TRUE(wnd.DestroyWindow());
  EXPECT_EQ(wnd.m_hWnd, nullptr);
  EXPECT_EQ(CWnd::FromHandlePermanent(hEdit), nullptr);
}

TEST(RuntimeClass, CreatesObjectsAndKnowsItsBases) {
  CObject* obj = RUNTIME_CLASS(CMDIChildWnd)->CreateObject();
  EXPECT_EQ(obj, nullptr) << "the framework's own frame is not dynamically creatable";
  EXPECT_TRUE(RUNTIME_CLASS(CMDIChildWnd)->IsDerivedFrom(RUNTIME_CLASS(CFrameWnd)));
  EXPECT_TRUE(RUNTIME_CLASS(CMDIChildWnd)->IsDerivedFrom(RUNTIME_CLASS(CWnd)));
  EXPECT_FALSE(RUNTIME_CLASS(CFrameWnd)->IsDerivedFrom(RUNTIME_CLASS(CMDIChildWnd)));
  EXPECT_STREQ(RUNTIME_CLASS(CDialog)->m_lpszClassName, "CDialog");
}

}  // namespace
