// The main frame: rebar with the window list bar, MDI client below it.
#include "main_frame.h"

#include "host_ids.h"

CMainFrame::CMainFrame() : m_hWndRebar(nullptr) {}

BEGIN_MESSAGE_MAP(CMainFrame, CMDIFrameWnd)
  ON_WM_CREATE()
  ON_COMMAND(ID_APP_EXIT, OnAppExit)
  ON_COMMAND(ID_HELP_PLUGINS, OnHelpPlugins)
END_MESSAGE_MAP()

int CMainFrame::OnCreate(LPCREATESTRUCT lpCreateStruct) {
  if (CMDIFrameWnd::OnCreate(lpCreateStruct) == -1) return -1;
  m_hWndRebar = ::CreateWindowExA(0, REBARCLASSNAMEA, nullptr,
                                  WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN |
                                      RBS_VARHEIGHT | RBS_BANDBORDERS | CCS_NODIVIDER | CCS_TOP,
                                  0, 0, 0, 0, m_hWnd, reinterpret_cast<HMENU>(AFX_IDW_REBAR),
                                  AfxGetInstanceHandle(), nullptr);
  if (!m_hWndRebar || !m_windowList.CreateBar(this)) return -1;

  RECT bar;
  m_windowList.GetWindowRect(&bar);
  REBARBANDINFOA band = {};
  band.cbSize = sizeof band;
  band.fMask = RBBIM_CHILD | RBBIM_CHILDSIZE | RBBIM_STYLE;
  band.fStyle = RBBS_NOGRIPPER | RBBS_CHILDEDGE;
  band.hwndChild = m_windowList.m_hWnd;  // the rebar becomes its parent
  band.cxMinChild = bar.right - bar.left;
  band.cyMinChild = bar.bottom - bar.top;
  ::SendMessageA(m_hWndRebar, RB_INSERTBANDA, static_cast<WPARAM>(-1),
                 reinterpret_cast<LPARAM>(&band));
  m_windowList.ShowWindow(SW_SHOW);
  return 0;
}

void CMainFrame::RecalcLayout(BOOL) {
  if (!m_hWndMDIClient) return;
  RECT client;
  GetClientRect(&client);
  int top = 0;
  if (m_hWndRebar) {
    ::SendMessageA(m_hWndRebar, WM_SIZE, 0, 0);  // a top rebar sizes itself to our width
    RECT rebar;
    ::GetWindowRect(m_hWndRebar, &rebar);
    top = rebar.bottom - rebar.top;
  }
  ::MoveWindow(m_hWndMDIClient, 0, top, client.right, client.bottom - top, TRUE);
}

void CMainFrame::OnAppExit() { PostMessage(WM_CLOSE); }

void CMainFrame::OnHelpPlugins() { m_pluginList.ShowFor(this); }
