// CChannelPage: the page of one joined channel (dialog 1009): the topic
// line, the chat console, the user list with file counts and line speeds, the
// input line and the Leave button, with a splitter between console and list.
// It turns the server's messages about its channel into console lines, topic
// and list changes, sends what the user types, and sends the leave message
// when its window goes. The page owns itself: it deletes itself after its
// window is destroyed.
//
// The same class is the private page of a conversation with one person
// (PageKind::kPrivate, dialog 1010): the chat console and the input line
// with a close button in the Leave button's place, no topic and no user
// list. It takes that person's private messages, sends the typed lines to
// them, shows one's own lines itself (the server does not echo them) and
// sends nothing when it closes. Everything else of the chat (the guard, the
// cap, the reader's place, Find, links, history, completion) is shared.
//
// Threads: user-interface thread only. WM_LINK_EVENT arrives as a synchronous
// send from the link's worker, which waits while the page handles it.
#pragma once

#include <cstdint>

#include "framework/afxwin.h"
#include "link/printf_format.h"
#include "ui/console/burst_redraw.h"
#include "ui/console/console_view.h"
#include "ui/core/input_history.h"
#include "ui/core/nick_completion.h"
#include "ui/pages/channel_page_ids.h"
#include "ui/controls/control_access.h"
#include "ui/pages/modeless_page.h"

struct ChannelMessageEffect;
class IChannelPageHost;
struct MessageRecord;

// What a page talks to: a channel, or one person.
enum class PageKind { kChannel, kPrivate };

class CChannelPage : public CModelessPage {
 public:
  enum { IDD = IDD_CHANNEL_PAGE };
  // F6's round: the input line, the chat console, the user list.
  static const PaneList kPanes;

  // host outlives the page's window; the page host passes no parent.
  explicit CChannelPage(IChannelPageHost* host, CWnd* pParent = nullptr,
                        PageKind kind = PageKind::kChannel);
  ~CChannelPage() override;

  // A new page of the channel (or the person, for a private page) with its
  // window, hidden, as a child of parent; null when the page could not be
  // allocated or its window could not be created (nothing is then left
  // behind: no object, and no leave message for a channel the page never
  // showed).
  static CChannelPage* Open(IChannelPageHost* host, const char* channelName, CWnd* parent,
                            PageKind kind = PageKind::kChannel);

  // The channel's name, or the person's nickname on a private page.
  const char* ChannelName() const { return m_channelName; }
  PageKind Kind() const { return m_kind; }

  BOOL OnInitDialog() override;
  BOOL PreTranslateMessage(MSG* pMsg) override;

  // Carries out the input line's command, or sends it as chat or action
  // (to the person, on a private page), and keeps it in the history; 0 when
  // it was empty. A line that could not be sent stays in the input line and
  // a chat line says so; 1 either way.
  int SendInput();
  // Shows one's own line sent to the person as the chat lines are shown.
  void ShowOwnLine(const char* text);
  // true once after the page joined its channel again by itself, when the
  // link came back (channel_page_reconnect.cpp): that join's confirmation
  // is no request of the user's to bring the page forward.
  bool TakeRejoin();
  // files is shown as given: the message table has taken its low 16 bits.
  void AddUser(const char* nickname, std::uint32_t files, std::uint32_t speed);
  // Deletes the first row of nickname, if any.
  void RemoveUser(const char* nickname);
  void LayoutControls();
  // The chat console's append, RTF guard included.
  void AppendConsole(COLORREF colour, const char* text);

 protected:
  void DoDataExchange(CDataExchange* pDX) override;
  void PostNcDestroy() override;

  // Default processing, then the leave message for the channel.
  afx_msg void OnDestroy();
  afx_msg void OnSize(UINT nType, int cx, int cy);
  // The Leave button (1003): removes the tab and destroys the page.
  afx_msg void OnLeave();
  // The input box white on black.
  afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
  // The splitter: a drag starts with a move in the gap, left button alone.
  afx_msg void OnMouseMove(UINT nFlags, CPoint point);
  // WM_LINK_EVENT: 1 when the event was a message for this channel.
  afx_msg LRESULT OnLinkEvent(WPARAM code, LPARAM value);
  // WM_LBUTTONUP: ends a splitter drag.
  afx_msg void OnLeftButtonRelease(UINT nFlags, CPoint point);
  // WM_SHOWWINDOW: the page host hides and shows the page with its tab; the
  // console marks where the reader left off.
  afx_msg LRESULT OnShowPage(WPARAM shown, LPARAM status);
  // The user list's menu (channel_page_users.cpp): 個人メッセージ and
  // ユーザー情報 for the user under the pointer, or the selected one when the
  // keyboard asked (the menu key, Shift+F10: pos is (-1, -1)).
  afx_msg void OnContextMenu(CWnd* pWnd, CPoint pos);
  // NM_DBLCLK from the user list: a private page with the user clicked.
  afx_msg void OnUserDoubleClick(NMHDR* header, LRESULT* result);

 private:
  // The list change, topic and console pieces the message table gave.
  void ApplyChannelMessage(const ChannelMessageEffect& effect);
  // A chat or action line (type) from another user marks the page's tab
  // (news, or a mention when it names the user); one naming the user also
  // flashes the host's main window while it is not in front.
  void NoticeChatLine(unsigned type, const ChannelMessageEffect& effect);
  // Up (older) and Down in the input box: the history's line, caret at its end.
  void RecallInputLine(bool older);
  // LinkOffline: a line says the connection went. LinkOnline: a channel
  // page joins its channel again.
  void OnLinkStateChange(WPARAM code);
  // Alt+End anywhere in the page: the console selects the first line that
  // came while the page was hidden, and takes the focus. FALSE without one.
  BOOL ShowFirstNewLine();
  // Tab in the input box: FALSE when there was nothing to complete.
  BOOL CompleteNickname();
  // What a line typed into the input box asks (channel_page_commands.cpp).
  enum class CommandOutcome {
    kNotACommand,  // chat or an action: sent as such
    kDone,         // carried out: the input box is emptied
    kRefused,      // a mistake, said in the page: the line stays to be mended
    kPageClosed,   // /part: the page is gone, nothing of it may be touched
  };
  CommandOutcome RunInputCommand(const char* line);
  // /msg and /query: the person's private page opened (shown with show),
  // the text, when there is one, sent to them and shown as one's own line.
  CommandOutcome SendPrivately(const char* nick, const char* text, bool show);
  // A line of the page's own (help, a command's mistake) in the console.
  void SayInPage(COLORREF colour, const char* format, ...) LINK_PRINTF_FORMAT(3, 4);
  // The strip between the console and the user list.
  CRect SplitterGap() const;
  // The user list's nickname of row into nick (kConsoleLineSize bytes);
  // false for no such row.
  bool UserAt(int row, char* nick);
  // The selected row of the user list; -1 for none.
  int SelectedUserRow() const;
  // The private page with nick shown and given the focus, or a line that
  // says it could not be opened.
  void TalkPrivatelyWith(const char* nick);

  IChannelPageHost* m_host;
  const PageKind m_kind;
  // Set by Open before the window is created, never changed after.
  CString m_channelName;
  // Set once the dialog is initialised: only a page that came up leaves its
  // channel when it goes.
  bool m_initialised = false;
  // The link went while the page was open; the join sent when it came back
  // awaits its confirmation.
  bool m_dropped = false;
  bool m_rejoining = false;
  // While Open creates the window: told when a failed creation deleted the
  // page on its way out.
  bool* m_deletedDuringOpen = nullptr;
  CBrush m_blackBrush;
  CFont m_inputFont;
  CNamedEdit m_input;
  CNamedListCtrl m_userList;
  // A channel's users arrive in a burst when it is joined: the list is
  // repainted now and then, not after every row.
  CBurstRedraw m_userListRedraw;
  CNamedConsoleView m_console;
  CInputHistory m_history;
  CNickCompletion m_completion;

  DECLARE_MESSAGE_MAP()
};
