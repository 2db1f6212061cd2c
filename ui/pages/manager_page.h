// CManagerPage: the connection page (dialog 1003), tab 0 of the page host.
// The user types the server address and a nickname, connects and
// disconnects with one toggle, watches the status image (offline, a blinking
// connecting banner, online), reads the server console and the channel
// list, refreshes the list and joins a channel. The page starts and stops
// the link, sends the channel-list request (617) and the join (400), and
// reacts to the link's events, which the page host forwards to it. Its
// decisions are plain functions in manager_rules.h.
//
// The page lives as long as the page host. It releases its status bitmaps
// when its window goes and never stops the link itself: the page host does.
//
// Threads: user-interface thread only. WM_LINK_EVENT arrives as a
// synchronous send from the page host while the link's worker waits; the
// log sink may be called on any thread (see console_log_sink.h).
#pragma once

#include "framework/afxwin.h"
#include "ui/console/burst_redraw.h"
#include "ui/console/console_view.h"
#include "ui/controls/control_access.h"
#include "ui/pages/manager_page_ids.h"
#include "ui/pages/modeless_page.h"
#include "ui/seams/console_log_sink.h"

class IManagerPageHost;
struct MessageRecord;

class CManagerPage : public CModelessPage {
 public:
  enum { IDD = IDD_MANAGER_PAGE };
  enum : UINT_PTR { BLINK_TIMER_ID = 1 };
  enum : UINT { kBlinkMilliseconds = 200 };
  // F6's round: the connect toggle (first of the server's group, and never
  // disabled), the server console, the channel list.
  static const PaneList kPanes;

  // host outlives the page's window; the page host passes no parent.
  explicit CManagerPage(IManagerPageHost* host, CWnd* pParent = nullptr);
  ~CManagerPage() override;

  BOOL OnInitDialog() override;
  // The frame's keys (tab switching, the host's window keys) go on to the
  // windows above; everything else to the dialog manager.
  BOOL PreTranslateMessage(MSG* pMsg) override;

  void LayoutControls();
  // Appends colour text to the server console.
  void AppendConsole(COLORREF colour, const char* text);

  // The server console as the link's log sink (and the page's own log: the
  // lines of LogLine / LogWhiteLine on it). The page host hands it to the
  // link with SetLogSink; it holds only the console's window handle.
  ILogSink* GetLogSink() { return &m_logSink; }

  // The index in m_statusBitmaps of the image the status control shows, or
  // kImageUnchanged (-1) when it shows none of them.
  int ShownStatusImage() const;

  // [0] offline (1004), [1] connecting (1006), [2] connecting, lit (1005),
  // [3] online (1007).
  CBitmap m_statusBitmaps[4];
  CNamedListCtrl m_channelList;
  // The channel list arrives as a burst of rows: repainted now and then.
  CBurstRedraw m_channelListRedraw;
  CNamedConsoleView m_serverLog;
  // Named for screen readers: their labels follow them in the template, so
  // the system would not find them.
  CNamedEdit m_addressEdit;
  CNamedEdit m_nicknameEdit;
  CString m_addressText;
  CString m_nicknameText;

 protected:
  void DoDataExchange(CDataExchange* pDX) override;

  // Default processing, then the status bitmaps go.
  afx_msg void OnDestroy();
  afx_msg void OnSize(UINT nType, int cx, int cy);
  // The connect toggle (1007) was clicked: connect or disconnect.
  afx_msg void OnConnectToggle();
  // The blink of the connecting banner.
  afx_msg void OnTimer(UINT nIDEvent);
  // Refresh (1012), and on going online: asks for the channel list; until
  // the link is online, says so in a message box instead.
  afx_msg void OnRefresh();
  // WM_LINK_EVENT: 1 for the connection events (0 to 3) and for the
  // messages 405, 618 and 621; 0 otherwise.
  afx_msg LRESULT OnLinkEvent(WPARAM code, LPARAM value);
  // WM_SHOWWINDOW: hidden for another tab, the page closes its Find dialog.
  afx_msg LRESULT OnShowPage(WPARAM shown, LPARAM status);
  // Join (1015): asks to join the selected channel.
  afx_msg void OnJoin();
  // The edits' text limits count bytes.
  afx_msg void OnAddressChange();
  afx_msg void OnNicknameChange();

 private:
  // The connection events 0 to 3; 0 for any other code.
  int OnLinkState(int code);
  // A received message for the page: 405, 618, 621.
  int OnMessage(const MessageRecord& record);
  void AddChannelRow(const MessageRecord& record);
  void ShowStatusImage(int image);
  // The connect toggle's look: checked and "切断" while connected, else
  // unchecked and "接続"; without a click notification.
  void ShowToggle(bool connected);
  void EnableEdits(BOOL enable);
  // Cuts the edit's text back to limit bytes, on a character boundary.
  void KeepWithinBytes(int id, int limit);

  IManagerPageHost* m_host;
  CConsoleLogSink m_logSink;
  // From LinkOnline until the next connection event: リフレッシュ is taken.
  bool m_linkOnline = false;

  DECLARE_MESSAGE_MAP()
};
