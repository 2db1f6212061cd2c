// A plug-in built only for the tests. It takes the path the real plug-in
// takes: an extension module registering itself while it loads, an MDI child
// created from its runtime class in OnStart, a page from a template that only
// this DLL holds, and an entry of its own in the host's window list.
// Loader thread: DllMain; UI thread: everything else.
#include "palaver/plugin.h"
#include "test_plugin_ids.h"
#include "test_plugin_probe.h"

namespace {

AFX_EXTENSION_MODULE g_module = {};
TestPluginProbe g_probe = {};

// The host's window list combo box, or null.
CWnd* FindWindowList() {
  CWinThread* thread = AfxGetThread();
  CWnd* main = thread ? thread->m_pMainWnd : nullptr;
  return main ? CWnd::FromHandle(FindWindowListCombo(main->m_hWnd)) : nullptr;
}

void SendCount(CWnd* list) {
  LRESULT count = list->SendMessage(CB_GETCOUNT);
  list->SendMessage(WM_WINDOWLIST_COUNT, 0, count & 0xFFFF);
}

class CTestPage : public CDialog {
 public:
  CTestPage() : CDialog(IDD_TEST_PAGE) {}
  CString m_text = "初期テキスト";

  BOOL PreTranslateMessage(MSG* pMsg) override {
    if (pMsg->message == WM_KEYDOWN && pMsg->wParam == VK_RETURN &&
        pMsg->hwnd == ::GetDlgItem(m_hWnd, IDC_PAGE_TEXT)) {
      ++g_probe.enterKeysInEdit;
      return TRUE;
    }
    return CDialog::PreTranslateMessage(pMsg);
  }

 protected:
  void DoDataExchange(CDataExchange* pDX) override {
    DDX_Text(pDX, IDC_PAGE_TEXT, m_text);
    DDV_MaxChars(pDX, m_text, 16);
  }
  void OnOK() override {}
  void OnCancel() override {}
};

}  // namespace

class CTestFrame : public CMDIChildWnd {
  DECLARE_DYNCREATE(CTestFrame)

 public:
  CTestPage m_page;
  ~CTestFrame() override { ++g_probe.framesDeleted; }

  BOOL PreCreateWindow(CREATESTRUCTA& cs) override {
    if (!CMDIChildWnd::PreCreateWindow(cs)) return FALSE;
    cs.style = WS_CHILD | WS_VISIBLE | WS_MAXIMIZE | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME |
               WS_MINIMIZEBOX | WS_MAXIMIZEBOX | FWS_ADDTOTITLE;
    cs.dwExStyle &= ~WS_EX_CLIENTEDGE;
    cs.lpszClass = AfxRegisterWndClass(0);
    g_probe.styleRequested = cs.style;
    g_probe.exStyleRequested = cs.dwExStyle;
    return TRUE;
  }
  void RecalcLayout(BOOL notify = TRUE) override {
    if (m_page.m_hWnd) {
      CRect client;
      GetClientRect(&client);
      m_page.SetWindowPos(nullptr, 0, 0, client.right, client.bottom, SWP_NOMOVE | SWP_NOZORDER);
    }
    CMDIChildWnd::RecalcLayout(notify);
  }

 protected:
  afx_msg int OnCreate(LPCREATESTRUCT cs) {
    if (CMDIChildWnd::OnCreate(cs) == -1) return -1;
    if (!m_page.Create(IDD_TEST_PAGE, this)) return -1;
    m_page.ShowWindow(SW_SHOW);
    return 0;
  }
  afx_msg void OnDestroy() {
    CMDIChildWnd::OnDestroy();
    CWnd* list = FindWindowList();
    if (!list) return;
    int count = static_cast<int>(list->SendMessage(CB_GETCOUNT));
    for (int i = 0; i < count; ++i) {
      if (list->SendMessage(CB_GETITEMDATA, i) == reinterpret_cast<LRESULT>(this)) {
        list->SendMessage(CB_DELETESTRING, i);
        SendCount(list);
        return;
      }
    }
  }

  DECLARE_MESSAGE_MAP()
};

IMPLEMENT_DYNCREATE(CTestFrame, CMDIChildWnd)

BEGIN_MESSAGE_MAP(CTestFrame, CMDIChildWnd)
  ON_WM_CREATE()
  ON_WM_DESTROY()
END_MESSAGE_MAP()

namespace {

class CTestPlugin : public CPalaverPlugin {
 public:
  void OnStart() override {
    ++g_probe.onStartCalls;
    CWinThread* thread = AfxGetThread();
    if (!thread || !thread->m_pMainWnd) return;
    CWnd* main = thread->m_pMainWnd;
    g_probe.mainWindowVisibleAtStart = main->IsWindowVisible();
    if (!main->IsKindOf(RUNTIME_CLASS(CMDIFrameWnd))) return;
    CMDIChildWnd* frame =
        static_cast<CMDIFrameWnd*>(main)->CreateNewChild(RUNTIME_CLASS(CTestFrame), 129);
    if (!frame) return;
    g_probe.frame = frame;
    frame->SetWindowText(TEST_PLUGIN_TITLE);
    frame->SetTitle(TEST_PLUGIN_TITLE);
    CWnd* list = FindWindowList();
    if (!list) return;
    LRESULT index = list->SendMessage(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(TEST_PLUGIN_TITLE));
    if (index != CB_ERR) {
      list->SendMessage(CB_SETITEMDATA, index, reinterpret_cast<LPARAM>(frame));
    }
    SendCount(list);
  }
  void OnStop() override { ++g_probe.onStopCalls; }
};

CTestPlugin g_plugin;
// Registered too when the loading process asks for it: a DLL of two objects.
CPalaverPlugin g_second;

}  // namespace

extern "C" __declspec(dllexport) TestPluginProbe* GetTestPluginProbe() { return &g_probe; }

BOOL WINAPI DllMain(HINSTANCE hInstance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    if (!AfxInitExtensionModule(g_module, hInstance)) return FALSE;
    new CDynLinkLibrary(g_module);
    RegisterPlugin(&g_plugin, "Velmo tests", TEST_PLUGIN_VERSION);
    if (::GetEnvironmentVariableA(TEST_PLUGIN_SECOND_OBJECT, nullptr, 0) > 0)
      RegisterPlugin(&g_second, "Velmo tests", TEST_PLUGIN_VERSION);
  } else if (reason == DLL_PROCESS_DETACH) {
    AfxTermExtensionModule(g_module);
  }
  return TRUE;
}
