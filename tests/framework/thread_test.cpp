// The UI thread's message pump: synchronous sends from a worker served while
// the UI thread pumps, the end of the message loop with the main window, the
// application's message box and thread identity.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "framework/afxwin.h"
#include "tests/support/message_box_watch.h"
#include "tests/support/message_pump.h"

namespace {

constexpr UINT WM_WORK = WM_USER + 20;
constexpr UINT WM_WORKER_DONE = WM_USER + 21;

class ServingWnd : public CWnd {
 public:
  std::vector<LPARAM> served;
  DWORD servingThread = 0;

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_WORK) {
      served.push_back(lParam);
      servingThread = ::GetCurrentThreadId();
      return lParam * 2;
    }
    return CWnd::WindowProc(message, wParam, lParam);
  }
};

TEST(MessagePump, WorkerSendsAreServedInOrderWhileTheUiThreadPeeksAndPumps) {
  ServingWnd wnd;
  ASSERT_TRUE(wnd.CreateEx(0, nullptr, "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr));
  std::atomic<bool> done{false};
  std::vector<LRESULT> answers;
  HWND hWnd = wnd.m_hWnd;
  std::thread worker([&] {
    for (LPARAM i = 1; i <= 50; ++i) answers.push_back(::SendMessageA(hWnd, WM_WORK, 0, i));
    done = true;
    ::PostMessageA(hWnd, WM_WORKER_DONE, 0, 0);  // wakes a waiting pump
  });
  // The wait a link's Stop performs: serve sends, pump posted messages.
  while (!done) {
    MSG msg;
    if (::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
      AfxGetThread()->PumpMessage();
    } else {
      ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
    }
  }
  worker.join();
  PumpPending();
  ASSERT_EQ(wnd.served.size(), 50u);
  for (size_t i = 0; i < 50; ++i) {
    EXPECT_EQ(wnd.served[i], static_cast<LPARAM>(i + 1));
    EXPECT_EQ(answers[i], static_cast<LRESULT>(2 * (i + 1)));
  }
  EXPECT_EQ(wnd.servingThread, ::GetCurrentThreadId());
  wnd.DestroyWindow();
}

TEST(MessagePump, ThreadObjectBelongsToTheThreadThatMadeIt) {
  EXPECT_EQ(AfxGetThread(), static_cast<CWinThread*>(AfxGetApp()));
  CWinThread* seenByWorker = AfxGetThread();
  std::thread([&] { seenByWorker = AfxGetThread(); }).join();
  EXPECT_EQ(seenByWorker, nullptr);
}

class PreTranslatingWnd : public CWnd {
 public:
  int seen = 0;
  bool consume = false;
  BOOL PreTranslateMessage(MSG* pMsg) override {
    if (pMsg->message != WM_KEYDOWN) return FALSE;
    ++seen;
    return consume;
  }
};

TEST(MessagePump, PreTranslationWalksFromTheWindowUpToItsTopLevelParent) {
  PreTranslatingWnd top;
  ASSERT_TRUE(top.CreateEx(0, nullptr, "", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr));
  PreTranslatingWnd child;
  ASSERT_TRUE(child.Create(nullptr, "", WS_VISIBLE, CRect(0, 0, 50, 50), &top, 1));
  HWND hGrandChild = ::CreateWindowExA(0, "EDIT", "", WS_CHILD, 0, 0, 10, 10, child.m_hWnd, nullptr,
                                       ::GetModuleHandleA(nullptr), nullptr);

  ::PostMessageA(hGrandChild, WM_KEYDOWN, 'A', 1);
  PumpPending();
  EXPECT_EQ(child.seen, 1);
  EXPECT_EQ(top.seen, 1);

  child.consume = true;
  ::PostMessageA(hGrandChild, WM_KEYDOWN, 'A', 1);
  PumpPending();
  EXPECT_EQ(child.seen, 2);
  EXPECT_EQ(top.seen, 1) << "a consumed message goes no further";
  top.DestroyWindow();
}

TEST(MessagePump, DestroyingTheMainWindowEndsRun) {
  CWinThread* thread = AfxGetThread();
  auto* frame = new CFrameWnd;
  ASSERT_TRUE(
      frame->CreateEx(0, nullptr, "main", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr));
  thread->m_pMainWnd = frame;
  frame->PostMessage(WM_CLOSE);
  EXPECT_EQ(thread->Run(), 0);
  EXPECT_EQ(thread->m_pMainWnd, nullptr);
}

TEST(ApplicationMessageBox, UsesTheApplicationTitleAsCaption) {
  CMessageBoxWatch answer;
  EXPECT_EQ(AfxMessageBox("サーバーアドレスが不正です"), IDOK);
  ASSERT_EQ(1u, answer.Seen().size());
  EXPECT_EQ(answer.Seen()[0].caption, "FrameworkTest");
  EXPECT_EQ(answer.Seen()[0].text, "サーバーアドレスが不正です");
}

TEST(WindowClass, RegisteredOnceForTheSameAttributes) {
  std::string first = AfxRegisterWndClass(0);
  std::string again = AfxRegisterWndClass(0);
  std::string other = AfxRegisterWndClass(CS_DBLCLKS);
  EXPECT_EQ(first, again);
  EXPECT_NE(first, other);
  WNDCLASSA wc = {};
  ASSERT_TRUE(::GetClassInfoA(AfxGetInstanceHandle(), first.c_str(), &wc));
  EXPECT_EQ(wc.hCursor, nullptr);
  EXPECT_EQ(wc.hbrBackground, nullptr);
}

}  // namespace
