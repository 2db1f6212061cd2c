// MDI frames: children created from a runtime class, their activation, their
// deletion with their windows, and every way CreateNewChild can fail leaving
// no object behind and deleting none twice.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "framework/afxwin.h"
#include "tests/support/message_pump.h"

namespace {

struct ChildLog {
  int created = 0;
  int deleted = 0;
  std::vector<BOOL> activations;
};
ChildLog g_log;

// What the next child does when it is made.
enum class Refuse { kNothing, kPreCreate, kCreate };
Refuse g_refuse = Refuse::kNothing;

class CLoggingChild : public CMDIChildWnd {
  DECLARE_DYNCREATE(CLoggingChild)

 public:
  CLoggingChild() { ++g_log.created; }
  ~CLoggingChild() override { ++g_log.deleted; }
  BOOL PreCreateWindow(CREATESTRUCTA& cs) override {
    if (g_refuse == Refuse::kPreCreate) return FALSE;
    return CMDIChildWnd::PreCreateWindow(cs);
  }

 protected:
  afx_msg int OnCreate(LPCREATESTRUCT cs) {
    if (CMDIChildWnd::OnCreate(cs) == -1 || g_refuse == Refuse::kCreate) return -1;
    return 0;
  }
  afx_msg void OnMDIActivate(BOOL activate, CWnd* pActivate, CWnd* pDeactivate) {
    g_log.activations.push_back(activate);
    CMDIChildWnd::OnMDIActivate(activate, pActivate, pDeactivate);
  }

  DECLARE_MESSAGE_MAP()
};

IMPLEMENT_DYNCREATE(CLoggingChild, CMDIChildWnd)

BEGIN_MESSAGE_MAP(CLoggingChild, CMDIChildWnd)
  ON_WM_CREATE()
  ON_WM_MDIACTIVATE()
END_MESSAGE_MAP()

class CNotAChild : public CFrameWnd {
  DECLARE_DYNCREATE(CNotAChild)
};

IMPLEMENT_DYNCREATE(CNotAChild, CFrameWnd)

class MdiTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_log = ChildLog();
    g_refuse = Refuse::kNothing;
    frame = new CMDIFrameWnd;
    ASSERT_TRUE(frame->CreateEx(0, nullptr, "MDI", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 600, 400,
                                nullptr, nullptr));
    ASSERT_NE(frame->m_hWndMDIClient, nullptr);
    AfxGetThread()->m_pMainWnd = frame;
  }
  void TearDown() override {
    if (AfxGetThread()->m_pMainWnd) AfxGetThread()->m_pMainWnd->DestroyWindow();
    PumpPending();  // takes the WM_QUIT the main window's end posted
  }
  CMDIChildWnd* NewChild() { return frame->CreateNewChild(RUNTIME_CLASS(CLoggingChild), 129); }
  CMDIFrameWnd* frame = nullptr;
};

TEST_F(MdiTest, NewChildIsCreatedFromItsRuntimeClassShownAndActive) {
  CMDIChildWnd* child = NewChild();
  ASSERT_NE(child, nullptr);
  EXPECT_TRUE(child->IsKindOf(RUNTIME_CLASS(CLoggingChild)));
  EXPECT_EQ(::GetParent(child->m_hWnd), frame->m_hWndMDIClient);
  EXPECT_TRUE(child->IsWindowVisible());
  EXPECT_EQ(frame->MDIGetActive(), child);
  EXPECT_EQ(child->GetMDIFrame(), frame);
  EXPECT_STREQ("ドキュメント", child->m_strTitle)
      << "the document's title: its string's second line";
  ASSERT_FALSE(g_log.activations.empty());
  EXPECT_TRUE(g_log.activations.back());
}

TEST_F(MdiTest, SwitchingChildrenDeactivatesTheOldOne) {
  CMDIChildWnd* first = NewChild();
  CMDIChildWnd* second = NewChild();
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(frame->MDIGetActive(), second);
  g_log.activations.clear();
  frame->MDIActivate(first);
  EXPECT_EQ(frame->MDIGetActive(), first);
  // Both sides of the switch hear of it: one deactivation and one activation.
  EXPECT_NE(std::find(g_log.activations.begin(), g_log.activations.end(), FALSE),
            g_log.activations.end());
  EXPECT_NE(std::find(g_log.activations.begin(), g_log.activations.end(), TRUE),
            g_log.activations.end());
}

TEST_F(MdiTest, ChildObjectsGoWithTheirWindows) {
  CMDIChildWnd* child = NewChild();
  NewChild();
  child->DestroyWindow();
  EXPECT_EQ(g_log.deleted, 1);
  frame->DestroyWindow();  // takes the other child with it
  EXPECT_EQ(g_log.deleted, 2);
  EXPECT_EQ(AfxGetThread()->m_pMainWnd, nullptr);
}

TEST_F(MdiTest, FailedCreationsYieldNullAndDeleteTheObjectExactlyOnce) {
  g_refuse = Refuse::kPreCreate;
  EXPECT_EQ(NewChild(), nullptr);
  EXPECT_EQ(g_log.created, 1);
  EXPECT_EQ(g_log.deleted, 1) << "no window ever existed: CreateNewChild deletes it";

  g_refuse = Refuse::kCreate;
  EXPECT_EQ(NewChild(), nullptr);
  EXPECT_EQ(g_log.created, 2);
  EXPECT_EQ(g_log.deleted, 2) << "its window's end deleted it, and nothing else did";

  EXPECT_EQ(frame->CreateNewChild(RUNTIME_CLASS(CNotAChild), 129), nullptr);
  EXPECT_EQ(frame->CreateNewChild(nullptr, 129), nullptr);
  EXPECT_EQ(::GetWindow(frame->m_hWndMDIClient, GW_CHILD), nullptr);
}

TEST_F(MdiTest, WindowMenuCommandsArrangeTheChildren) {
  CMDIChildWnd* first = NewChild();
  CMDIChildWnd* second = NewChild();
  frame->SendMessage(WM_COMMAND, ID_WINDOW_TILE_VERT, 0);
  CRect a, b;
  first->GetWindowRect(&a);
  second->GetWindowRect(&b);
  EXPECT_EQ(a.top, b.top) << "side by side";
  EXPECT_NE(a.left, b.left);
  frame->SendMessage(WM_COMMAND, ID_WINDOW_CASCADE, 0);
  first->GetWindowRect(&a);
  second->GetWindowRect(&b);
  EXPECT_NE(a.top, b.top) << "stepped";
}

}  // namespace
