// Modeless dialogs: templates found through the resource search chain, data
// exchange and validation, the dialog manager and pre-translation of keys,
// and control colours.
#include <gtest/gtest.h>

#include <string>

#include "framework/afxwin.h"
// The common dialogs' control ids.
#include <dlgs.h>
#include "test_ids.h"
#include "tests/support/key_press.h"
#include "tests/support/message_box_watch.h"
#include "tests/support/message_pump.h"

namespace {

// The form's exchange, with the framework's own OnOK and OnCancel.
class PlainForm : public CDialog {
 public:
  PlainForm() : CDialog(IDD_FORM) {}
  CString m_name = "初期値";
  CString m_nick;
  CButton m_check;

 protected:
  void DoDataExchange(CDataExchange* pDX) override {
    DDX_Control(pDX, IDC_CHECK, m_check);
    DDX_Text(pDX, IDC_NAME, m_name);
    DDV_MaxChars(pDX, m_name, 8);
    DDX_Text(pDX, IDC_NICK, m_nick);
  }
};

class FormDialog : public PlainForm {
 public:
  CBrush m_black{RGB(0, 0, 0)};
  int initCount = 0;
  int okCount = 0;
  int cancelCount = 0;
  HWND lastPreTranslated = nullptr;
  UINT lastPreTranslatedKey = 0;

  BOOL PreTranslateMessage(MSG* pMsg) override {
    if (pMsg->message == WM_KEYDOWN) {
      lastPreTranslated = pMsg->hwnd;
      lastPreTranslatedKey = static_cast<UINT>(pMsg->wParam);
    }
    return CDialog::PreTranslateMessage(pMsg);
  }

 protected:
  BOOL OnInitDialog() override {
    ++initCount;
    return CDialog::OnInitDialog();
  }
  void OnOK() override { ++okCount; }
  void OnCancel() override { ++cancelCount; }
  afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT ctlColor) {
    HBRUSH brush = CDialog::OnCtlColor(pDC, pWnd, ctlColor);
    if (ctlColor == CTLCOLOR_EDIT) {
      pDC->SetTextColor(RGB(255, 255, 255));
      return m_black;
    }
    return brush;
  }

  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(FormDialog, CDialog)
  ON_WM_CTLCOLOR()
END_MESSAGE_MAP()

class DialogTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(dlg.Create(IDD_FORM)); }
  void TearDown() override { dlg.DestroyWindow(); }
  HWND Item(int id) { return ::GetDlgItem(dlg.m_hWnd, id); }
  FormDialog dlg;
};

TEST_F(DialogTest, InitialisationLoadsMembersBindsControlsAndSetsTheEditLimit) {
  EXPECT_EQ(dlg.initCount, 1);
  char text[64] = {};
  ::GetWindowTextA(Item(IDC_NAME), text, sizeof text);
  EXPECT_STREQ(text, "初期値");
  EXPECT_EQ(::SendMessageA(Item(IDC_NAME), EM_GETLIMITTEXT, 0, 0), 8);
  EXPECT_EQ(dlg.m_check.m_hWnd, Item(IDC_CHECK));
  EXPECT_EQ(CWnd::FromHandlePermanent(Item(IDC_CHECK)), &dlg.m_check);
  dlg.m_check.SetCheck(BST_CHECKED);
  EXPECT_EQ(::SendMessageA(Item(IDC_CHECK), BM_GETCHECK, 0, 0), BST_CHECKED);
}

TEST_F(DialogTest, SavingTakesTheControlsTextsIntoTheMembers) {
  ::SetWindowTextA(Item(IDC_NAME), "名前");
  ::SetWindowTextA(Item(IDC_NICK), "nick");
  EXPECT_TRUE(dlg.UpdateData(TRUE));
  EXPECT_STREQ(dlg.m_name, "名前");
  EXPECT_STREQ(dlg.m_nick, "nick");
}

TEST_F(DialogTest, OverlongTextFailsValidationWithTheFrameworksMessage) {
  dlg.ShowWindow(SW_SHOW);
  // 10 bytes: more than the 8 allowed. WM_SETTEXT is not bound by the limit.
  ::SetWindowTextA(Item(IDC_NAME), "日本語です");
  ::SetWindowTextA(Item(IDC_NICK), "changed");
  dlg.m_nick = "kept";
  CMessageBoxWatch answer;
  EXPECT_FALSE(dlg.UpdateData(TRUE));
  ASSERT_EQ(1u, answer.Seen().size());
  EXPECT_EQ(answer.Seen()[0].caption, "FrameworkTest") << "the application's title";
  EXPECT_NE(answer.Seen()[0].text.find("8"), std::string::npos) << answer.Seen()[0].text;
  EXPECT_EQ(::GetFocus(), Item(IDC_NAME)) << "the failing edit gets the focus";
  DWORD start = 1, end = 0;
  ::SendMessageA(Item(IDC_NAME), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                 reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(start, 0u);
  EXPECT_EQ(end, static_cast<DWORD>(::GetWindowTextLengthW(Item(IDC_NAME))))
      << "with its whole text selected";
  EXPECT_STREQ(dlg.m_nick, "kept") << "the exchange stops at the failure";
}

TEST_F(DialogTest, TextOfExactlyTheLimitPassesAndOneByteMoreFails) {
  dlg.ShowWindow(SW_SHOW);
  const struct {
    const char* text;
    bool valid;
  } cases[] = {
      {"abcdefgh", true},   {"日本語で", true},   {"", true},
      {"abcdefghi", false}, {"日本語でa", false}, {"a日本語で", false},
  };
  for (const auto& c : cases) {
    ::SetWindowTextA(Item(IDC_NAME), c.text);
    ::SetWindowTextA(Item(IDC_NICK), c.text);
    dlg.m_nick = "before";
    CMessageBoxWatch answer;
    EXPECT_EQ(c.valid, dlg.UpdateData(TRUE) != FALSE) << c.text;
    EXPECT_EQ(!c.valid, !answer.Seen().empty()) << c.text;
    EXPECT_STREQ(dlg.m_nick, c.valid ? c.text : "before") << c.text;
  }
}

TEST_F(DialogTest, LoadingSetsTheMemberEvenWhereTextsAgreeInTheirFirst255Bytes) {
  const struct {
    size_t member;
    size_t shown;
  } cases[] = {{255, 300}, {300, 255}, {256, 255}, {255, 256}};
  for (const auto& c : cases) {
    ::SetWindowTextA(Item(IDC_NICK), std::string(c.shown, 'n').c_str());
    dlg.m_nick = std::string(c.member, 'n').c_str();
    EXPECT_TRUE(dlg.UpdateData(FALSE));
    EXPECT_EQ(static_cast<int>(c.member), ::GetWindowTextLengthA(Item(IDC_NICK)))
        << c.member << " over " << c.shown;
  }
}

TEST_F(DialogTest, EnterAndEscapeReachOnOkAndOnCancelThroughTheDialogManager) {
  dlg.ShowWindow(SW_SHOW);
  ::SetFocus(Item(IDC_NICK));
  ::PostMessageA(Item(IDC_NICK), WM_KEYDOWN, VK_RETURN, 1);
  PumpPending();
  EXPECT_EQ(dlg.lastPreTranslated, Item(IDC_NICK)) << "the dialog sees the edit's Enter";
  EXPECT_EQ(dlg.lastPreTranslatedKey, static_cast<UINT>(VK_RETURN));
  EXPECT_EQ(dlg.okCount, 1);
  ::PostMessageA(Item(IDC_NICK), WM_KEYDOWN, VK_ESCAPE, 1);
  PumpPending();
  EXPECT_EQ(dlg.cancelCount, 1);
  EXPECT_TRUE(::IsWindow(dlg.m_hWnd)) << "the overrides keep the dialog open";
}

// The system's Find dialog, attached to its object: its owner hears of each
// request through the registered message, and Esc reaches the dialog
// manager through the thread's pre-translation and ends it. The message is
// registered on first use, after the owner's map has been walked.
UINT g_findMessage = 0;

class FindOwner : public CWnd {
 public:
  std::string heard;

 protected:
  afx_msg LRESULT OnFindReplace(WPARAM, LPARAM lParam) {
    CFindReplaceDialog* dlg = CFindReplaceDialog::GetNotifier(lParam);
    heard += dlg->IsTerminating()
                 ? "end;"
                 : std::string(dlg->GetFindString()) + "|" + std::to_string(dlg->FindNext()) +
                       std::to_string(dlg->MatchCase()) + std::to_string(dlg->SearchDown()) + ";";
    return 0;
  }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(FindOwner, CWnd)
  ON_REGISTERED_MESSAGE(g_findMessage, OnFindReplace)
END_MESSAGE_MAP()

TEST(FindReplaceDialog, TellsItsOwnerAndGoesWithEscape) {
  FindOwner owner;
  ASSERT_TRUE(
      owner.CreateEx(0, nullptr, "owner", WS_POPUP | WS_VISIBLE, 0, 0, 200, 100, nullptr, nullptr));
  if (g_findMessage == 0) g_findMessage = ::RegisterWindowMessageA(FINDMSGSTRING);
  auto* dlg = new CFindReplaceDialog;
  ASSERT_TRUE(dlg->Create(TRUE, "日本", nullptr, FR_DOWN | FR_MATCHCASE, &owner));
  const HWND find = dlg->m_hWnd;
  EXPECT_EQ(dlg, CWnd::FromHandlePermanent(find));
  ::SendMessageA(find, WM_COMMAND, IDOK, reinterpret_cast<LPARAM>(::GetDlgItem(find, IDOK)));
  ::SetFocus(::GetDlgItem(find, edt1));
  Press({VK_ESCAPE, kPlain});
  EXPECT_EQ("日本|111;end;", owner.heard);
  EXPECT_FALSE(::IsWindow(find));
  owner.DestroyWindow();
}

// Enter and Escape with the framework's own handlers: OK takes the texts in
// and ends the dialog only when they pass; Cancel ends it and takes nothing.
TEST(DialogDefaults, OkTakesValidTextsAndEndsCancelEndsWithoutTaking) {
  const struct {
    const char* name;
    WPARAM key;
    const char* text;
    bool ended;
    bool box;
    const char* nick;  // the member after the key
  } cases[] = {
      {"Enter with a valid text", VK_RETURN, "名前", true, false, "名前"},
      {"Enter with a text at the limit", VK_RETURN, "abcdefgh", true, false, "abcdefgh"},
      {"Enter with an overlong text", VK_RETURN, "abcdefghi", false, true, ""},
      {"Escape", VK_ESCAPE, "名前", true, false, ""},
  };
  for (const auto& c : cases) {
    PlainForm form;
    ASSERT_TRUE(form.Create(IDD_FORM)) << c.name;
    form.ShowWindow(SW_SHOW);
    HWND name = ::GetDlgItem(form.m_hWnd, IDC_NAME);
    ::SetWindowTextA(name, c.text);
    ::SetDlgItemTextA(form.m_hWnd, IDC_NICK, c.text);
    ::SetFocus(name);
    CMessageBoxWatch answer;
    ::PostMessageA(name, WM_KEYDOWN, c.key, 1);
    PumpPending();
    EXPECT_EQ(c.ended, !::IsWindowVisible(form.m_hWnd)) << c.name;
    EXPECT_EQ(c.box, !answer.Seen().empty()) << c.name;
    EXPECT_STREQ(form.m_nick, c.nick) << c.name;
    form.DestroyWindow();
  }
}

TEST_F(DialogTest, ControlColourRequestsGoToOnCtlColor) {
  HDC hDC = ::GetDC(Item(IDC_NAME));
  auto brush = reinterpret_cast<HBRUSH>(::SendMessageA(dlg.m_hWnd, WM_CTLCOLOREDIT,
                                                       reinterpret_cast<WPARAM>(hDC),
                                                       reinterpret_cast<LPARAM>(Item(IDC_NAME))));
  EXPECT_EQ(brush, static_cast<HBRUSH>(dlg.m_black));
  EXPECT_EQ(::GetTextColor(hDC), RGB(255, 255, 255));
  auto other = reinterpret_cast<HBRUSH>(::SendMessageA(dlg.m_hWnd, WM_CTLCOLORSTATIC,
                                                       reinterpret_cast<WPARAM>(hDC),
                                                       reinterpret_cast<LPARAM>(Item(IDC_LABEL))));
  EXPECT_NE(other, static_cast<HBRUSH>(dlg.m_black));
  ::ReleaseDC(Item(IDC_NAME), hDC);
}

// The search chain: the current resource handle first, then each extension
// module, newest first.
class ResourceChainTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_hDll = ::LoadLibraryA("framework_test_res.dll");
    ASSERT_NE(m_hDll, nullptr);
    ASSERT_TRUE(AfxInitExtensionModule(m_module, m_hDll));
  }
  void TearDown() override {
    AfxTermExtensionModule(m_module);
    ::FreeLibrary(m_hDll);
  }
  HMODULE m_hDll = nullptr;
  AFX_EXTENSION_MODULE m_module = {};
};

TEST_F(ResourceChainTest, DialogTemplateOnlyInAnExtensionModuleIsFoundWhileItIsLinked) {
  CDialog before;
  EXPECT_FALSE(before.Create(IDD_ONLY_IN_DLL)) << "not linked yet";

  new CDynLinkLibrary(m_module);
  CDialog linked;
  ASSERT_TRUE(linked.Create(IDD_ONLY_IN_DLL));
  EXPECT_NE(::GetDlgItem(linked.m_hWnd, IDC_NAME), nullptr);
  linked.DestroyWindow();

  AfxTermExtensionModule(m_module);
  CDialog after;
  EXPECT_FALSE(after.Create(IDD_ONLY_IN_DLL)) << "terminating unlinks the module";
}

TEST_F(ResourceChainTest, CurrentResourceHandleComesBeforeTheChain) {
  new CDynLinkLibrary(m_module);
  CDialog fromExe;
  ASSERT_TRUE(fromExe.Create(IDD_IN_BOTH));
  EXPECT_NE(::GetDlgItem(fromExe.m_hWnd, IDC_MARK_EXE), nullptr);
  fromExe.DestroyWindow();

  HINSTANCE saved = AfxGetResourceHandle();
  AfxSetResourceHandle(m_hDll);
  EXPECT_EQ(AfxGetModuleState()->m_hCurrentResourceHandle, m_hDll);
  CDialog fromDll;
  ASSERT_TRUE(fromDll.Create(IDD_IN_BOTH));
  EXPECT_NE(::GetDlgItem(fromDll.m_hWnd, IDC_MARK_DLL), nullptr);
  fromDll.DestroyWindow();
  AfxSetResourceHandle(saved);
  EXPECT_EQ(
      AfxFindResourceHandle(MAKEINTRESOURCEA(IDD_ONLY_IN_DLL), reinterpret_cast<LPCSTR>(RT_DIALOG)),
      m_hDll);
}

}  // namespace
