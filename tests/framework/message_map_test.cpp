// Message maps: which handler a message reaches, through real windows and
// real controls. One table of window-message rules on a derived window, then
// commands and notifications by id and code, the colour requests, and a
// handler that destroys its own window.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/afxwin.h"
#include "tests/support/message_pump.h"

namespace {

constexpr UINT WM_BASE_ONLY = WM_APP + 1;
constexpr UINT WM_TWICE = WM_APP + 2;
constexpr UINT WM_ANSWER = WM_APP + 3;

std::vector<std::string> g_calls;

class CBaseProbe : public CWnd {
 protected:
  afx_msg void OnSize(UINT, int, int) { g_calls.push_back("base size"); }
  afx_msg void OnTimer(UINT id) { g_calls.push_back("base timer " + std::to_string(id)); }
  afx_msg LRESULT OnBaseOnly(WPARAM, LPARAM) {
    g_calls.push_back("base only");
    return 11;
  }

  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CBaseProbe, CWnd)
  ON_WM_SIZE()
  ON_WM_TIMER()
  ON_MESSAGE(WM_BASE_ONLY, OnBaseOnly)
END_MESSAGE_MAP()

class CDerivedProbe : public CBaseProbe {
 protected:
  afx_msg void OnSize(UINT, int cx, int cy) {
    g_calls.push_back("derived size " + std::to_string(cx) + "x" + std::to_string(cy));
  }
  afx_msg LRESULT OnFirst(WPARAM, LPARAM) {
    g_calls.push_back("first");
    return 1;
  }
  afx_msg LRESULT OnSecond(WPARAM, LPARAM) {
    g_calls.push_back("second");
    return 2;
  }
  afx_msg LRESULT OnAnswer(WPARAM wParam, LPARAM lParam) {
    g_calls.push_back("answer");
    return static_cast<LRESULT>(wParam * 10 + lParam);
  }
  afx_msg void OnContextMenu(CWnd*, CPoint pos) {
    g_calls.push_back("menu at " + std::to_string(pos.x) + "," + std::to_string(pos.y));
  }

  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CDerivedProbe, CBaseProbe)
  ON_WM_SIZE()
  ON_MESSAGE(WM_TWICE, OnFirst)
  ON_MESSAGE(WM_TWICE, OnSecond)
  ON_MESSAGE(WM_ANSWER, OnAnswer)
  ON_WM_CONTEXTMENU()
END_MESSAGE_MAP()

TEST(MessageMap, WindowMessagesReachTheFirstMatchingEntryFromTheClassDownToItsBases) {
  CDerivedProbe wnd;
  ASSERT_TRUE(wnd.CreateEx(0, nullptr, "probe", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
  char title[16] = {};
  const LPARAM text = reinterpret_cast<LPARAM>("set by default");
  struct Row {
    const char* rule;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    std::vector<std::string> calls;
    LRESULT result;
  };
  const Row rows[] = {
      {"the derived class's entry wins over its base's",
       WM_SIZE,
       SIZE_RESTORED,
       MAKELPARAM(30, 20),
       {"derived size 30x20"},
       0},
      {"a message only the base maps reaches the base's handler",
       WM_TIMER,
       7,
       0,
       {"base timer 7"},
       0},
      {"a private message only the base maps, with its result",
       WM_BASE_ONLY,
       0,
       0,
       {"base only"},
       11},
      {"the first of two entries for one message wins", WM_TWICE, 0, 0, {"first"}, 1},
      {"an ON_MESSAGE handler's result reaches the sender", WM_ANSWER, 4, 2, {"answer"}, 42},
      {"the keyboard's context menu keeps its (-1, -1)",
       WM_CONTEXTMENU,
       0,
       MAKELPARAM(-1, -1),
       {"menu at -1,-1"},
       0},
      {"a message no map names reaches the default procedure", WM_SETTEXT, 0, text, {}, TRUE},
  };
  for (const Row& row : rows) {
    g_calls.clear();
    EXPECT_EQ(wnd.SendMessage(row.message, row.wParam, row.lParam), row.result) << row.rule;
    EXPECT_EQ(g_calls, row.calls) << row.rule;
  }
  wnd.GetWindowText(title, sizeof title);
  EXPECT_STREQ(title, "set by default") << "DefWindowProc set the text no map took";
  wnd.DestroyWindow();
}

// Buttons 101 and 102, buttons 110 to 120 of which 110 to 119 form a range,
// and edit 42, whose id a menu command also uses.
constexpr int kFirstButton = 101;
constexpr int kSecondButton = 102;
constexpr int kRangeFirst = 110;
constexpr int kRangeLast = 119;
constexpr int kSharedId = 42;

class CCommandProbe : public CWnd {
 public:
  BOOL CreateWithControls() {
    if (!CreateEx(0, nullptr, "commands", WS_POPUP, 0, 0, 200, 200, nullptr, nullptr)) return FALSE;
    for (int id : {kFirstButton, kSecondButton}) AddControl("BUTTON", id);
    for (int id = kRangeFirst; id <= kRangeLast + 1; ++id) AddControl("BUTTON", id);
    AddControl("EDIT", kSharedId);
    return TRUE;
  }
  HWND Control(int id) const { return ::GetDlgItem(m_hWnd, id); }

 protected:
  afx_msg void OnFirstButton() { g_calls.push_back("first button"); }
  afx_msg void OnSecondButton() { g_calls.push_back("second button"); }
  afx_msg void OnRangeButton(UINT id) { g_calls.push_back("range " + std::to_string(id)); }
  afx_msg void OnMenuCommand() { g_calls.push_back("menu 42"); }
  afx_msg void OnEditChange() { g_calls.push_back("edit 42 changed"); }
  afx_msg void OnFirstDoubleClick(NMHDR* header, LRESULT* result) {
    g_calls.push_back("double click " + std::to_string(header->idFrom));
    *result = 5;
  }

 private:
  void AddControl(const char* className, int id) {
    ::CreateWindowExA(0, className, "", WS_CHILD, 0, 0, 20, 20, m_hWnd,
                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
  }

  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CCommandProbe, CWnd)
  ON_BN_CLICKED(kFirstButton, OnFirstButton)
  ON_BN_CLICKED(kSecondButton, OnSecondButton)
  ON_CONTROL_RANGE(BN_CLICKED, kRangeFirst, kRangeLast, OnRangeButton)
  ON_COMMAND(kSharedId, OnMenuCommand)
  ON_EN_CHANGE(kSharedId, OnEditChange)
  ON_NOTIFY(NM_DBLCLK, kFirstButton, OnFirstDoubleClick)
END_MESSAGE_MAP()

TEST(MessageMap, CommandsAndNotificationsReachTheEntryOfTheirIdAndCode) {
  CCommandProbe wnd;
  ASSERT_TRUE(wnd.CreateWithControls());
  struct Row {
    const char* what;
    int id;  // a click on this button; 0 for the row's own action
    std::vector<std::string> calls;
  };
  const Row clicks[] = {
      {"a click on one button reaches only its handler", kFirstButton, {"first button"}},
      {"and the other button's click only the other's", kSecondButton, {"second button"}},
      {"the first id of a range", kRangeFirst, {"range 110"}},
      {"an id inside a range", 115, {"range 115"}},
      {"the last id of a range", kRangeLast, {"range 119"}},
      {"one past the range reaches nothing", kRangeLast + 1, {}},
  };
  for (const Row& row : clicks) {
    g_calls.clear();
    ::SendMessageA(wnd.Control(row.id), BM_CLICK, 0, 0);
    EXPECT_EQ(g_calls, row.calls) << row.what;
  }

  g_calls.clear();
  wnd.SendMessage(WM_COMMAND, MAKEWPARAM(kSharedId, 0), 0);
  EXPECT_EQ(g_calls, std::vector<std::string>{"menu 42"}) << "a menu command is not the edit's";
  g_calls.clear();
  wnd.SendMessage(WM_COMMAND, MAKEWPARAM(kSharedId, 1), 0);
  EXPECT_EQ(g_calls, std::vector<std::string>{"menu 42"}) << "nor is an accelerator";
  g_calls.clear();
  ::SetWindowTextA(wnd.Control(kSharedId), "typed");
  EXPECT_EQ(g_calls, std::vector<std::string>{"edit 42 changed"})
      << "the edit's change is not the menu command";
  // A common control's notification by its id and code, with the handler's
  // result.
  const struct {
    int id;
    UINT code;
    LRESULT result;
    std::vector<std::string> calls;
  } notices[] = {{kFirstButton, static_cast<UINT>(NM_DBLCLK), 5, {"double click 101"}},
                 {kFirstButton, static_cast<UINT>(NM_CLICK), 0, {}},
                 {kSecondButton, static_cast<UINT>(NM_DBLCLK), 0, {}}};
  for (const auto& notice : notices) {
    g_calls.clear();
    NMHDR header = {wnd.Control(notice.id), static_cast<UINT_PTR>(notice.id), notice.code};
    EXPECT_EQ(notice.result,
              wnd.SendMessage(WM_NOTIFY, notice.id, reinterpret_cast<LPARAM>(&header)));
    EXPECT_EQ(g_calls, notice.calls) << notice.id << " " << static_cast<int>(notice.code);
  }
  wnd.DestroyWindow();
}

class CColourProbe : public CWnd {
 public:
  std::vector<UINT> kinds;
  HWND lastControl = nullptr;

 protected:
  afx_msg HBRUSH OnCtlColor(CDC*, CWnd* pWnd, UINT nCtlColor) {
    kinds.push_back(nCtlColor);
    lastControl = pWnd ? pWnd->m_hWnd : nullptr;
    return static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH));
  }

  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CColourProbe, CWnd)
  ON_WM_CTLCOLOR()
END_MESSAGE_MAP()

TEST(MessageMap, EveryColourRequestReachesOnCtlColorWithItsKind) {
  CColourProbe wnd;
  ASSERT_TRUE(wnd.CreateEx(0, nullptr, "colours", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr));
  HWND child = ::CreateWindowExA(0, "STATIC", "", WS_CHILD, 0, 0, 5, 5, wnd.m_hWnd, nullptr,
                                 nullptr, nullptr);
  HDC dc = ::GetDC(child);
  const UINT messages[] = {WM_CTLCOLORMSGBOX, WM_CTLCOLOREDIT, WM_CTLCOLORLISTBOX,
                           WM_CTLCOLORBTN,    WM_CTLCOLORDLG,  WM_CTLCOLORSCROLLBAR,
                           WM_CTLCOLORSTATIC};
  for (UINT message : messages) {
    EXPECT_EQ(
        wnd.SendMessage(message, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(child)),
        reinterpret_cast<LRESULT>(::GetStockObject(BLACK_BRUSH)))
        << "message " << message;
  }
  const std::vector<UINT> expected = {CTLCOLOR_MSGBOX, CTLCOLOR_EDIT, CTLCOLOR_LISTBOX,
                                      CTLCOLOR_BTN,    CTLCOLOR_DLG,  CTLCOLOR_SCROLLBAR,
                                      CTLCOLOR_STATIC};
  EXPECT_EQ(wnd.kinds, expected);
  EXPECT_EQ(wnd.lastControl, child);
  ::ReleaseDC(child, dc);
  wnd.DestroyWindow();
}

constexpr int kCloseButton = 7;
constexpr UINT WM_CLOSE_YOURSELF = WM_APP + 4;

// Owns itself like a channel page: its window's end deletes it.
class CSelfClosing : public CWnd {
 public:
  explicit CSelfClosing(bool* deleted) : m_deleted(deleted) {}
  ~CSelfClosing() override { *m_deleted = true; }

 protected:
  void PostNcDestroy() override { delete this; }
  afx_msg void OnCloseButton() { DestroyWindow(); }
  afx_msg LRESULT OnCloseYourself(WPARAM, LPARAM) {
    DestroyWindow();
    return 5;
  }

 private:
  bool* m_deleted;

  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CSelfClosing, CWnd)
  ON_BN_CLICKED(kCloseButton, OnCloseButton)
  ON_MESSAGE(WM_CLOSE_YOURSELF, OnCloseYourself)
END_MESSAGE_MAP()

TEST(MessageMap, AHandlerThatDestroysItsOwnWindowReturnsSafely) {
  bool deleted = false;
  auto* clicked = new CSelfClosing(&deleted);
  ASSERT_TRUE(clicked->CreateEx(0, nullptr, "", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr));
  HWND window = clicked->m_hWnd;
  HWND button = ::CreateWindowExA(0, "BUTTON", "Leave", WS_CHILD, 0, 0, 20, 20, window,
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(kCloseButton)),
                                  nullptr, nullptr);
  ::SendMessageA(button, BM_CLICK, 0, 0);
  EXPECT_FALSE(::IsWindow(window));
  EXPECT_TRUE(deleted) << "the object went with its window, inside its own command";

  deleted = false;
  auto* sent = new CSelfClosing(&deleted);
  ASSERT_TRUE(sent->CreateEx(0, nullptr, "", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr));
  window = sent->m_hWnd;
  EXPECT_EQ(::SendMessageA(window, WM_CLOSE_YOURSELF, 0, 0), 5)
      << "the result of a handler whose object is gone still reaches the sender";
  EXPECT_FALSE(::IsWindow(window));
  EXPECT_TRUE(deleted);
}

}  // namespace
