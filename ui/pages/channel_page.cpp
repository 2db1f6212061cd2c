// The channel page: its set-up, message handlers, input, leave, colours,
// layout and splitter. See channel_page.h for ownership and threads.
#include "ui/pages/channel_page.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "link/link_event.h"
#include "link/message_catalogue.h"
#include "link/server_link.h"
#include "ui/core/channel_messages.h"
#include "ui/core/colours.h"
#include "ui/core/console_line.h"
#include "ui/core/user_messages.h"
#include "ui/pages/channel_page_host.h"
#include "ui/controls/client_lists.h"
#include "ui/controls/control_rect.h"
#include "ui/controls/key_stroke.h"
#include "ui/ui_messages.h"

namespace {

// The splitter never leaves the console or the user list narrower than this.
const int kMinPaneWidth = 8;
// Pixels between the console's right edge and the list's left edge.
const int kSplitterGap = 4;

const UINT kMoveOnly = SWP_NOZORDER | SWP_NOACTIVATE;

const int kPaneIds[] = {IDC_CHANNEL_INPUT, IDC_CHANNEL_CONSOLE, IDC_CHANNEL_USERS};

// Said in the chat when Enter could not send the input line, which stays.
const char kNotSentLine[] = "サーバに未接続のため発言を送信できませんでした\r\n";

}  // namespace

const PaneList CChannelPage::kPanes = {kPaneIds, 3};

const ConsoleStyle kChatConsoleStyle = {"SYSTEM", 270, 1000, true};

CChannelPage::CChannelPage(IChannelPageHost* host, CWnd* pParent, PageKind kind)
    : CModelessPage(kind == PageKind::kPrivate ? IDD_PRIVATE_PAGE : IDD, pParent),
      m_host(host),
      m_kind(kind),
      // What a screen reader calls them: their own texts are the typing, the
      // rows and the chat.
      m_input("発言欄"),
      m_userList("ユーザーリスト"),
      m_console(kChatConsoleStyle, "チャット") {}

CChannelPage::~CChannelPage() = default;

void CChannelPage::DoDataExchange(CDataExchange* pDX) {
  CModelessPage::DoDataExchange(pDX);
  DDX_Control(pDX, IDC_CHANNEL_INPUT, m_input);
  // A private page has no user list.
  if (m_kind == PageKind::kChannel) DDX_Control(pDX, IDC_CHANNEL_USERS, m_userList);
  DDX_Control(pDX, IDC_CHANNEL_CONSOLE, m_console);
}

CChannelPage* CChannelPage::Open(IChannelPageHost* host, const char* channelName, CWnd* parent,
                                 PageKind kind) {
  // Called inside a window procedure: a failed allocation is a page that
  // could not be opened, never an exception.
  auto* page = new (std::nothrow) CChannelPage(host, nullptr, kind);
  if (page == nullptr) return nullptr;
  page->m_channelName = channelName;
  bool deleted = false;
  page->m_deletedDuringOpen = &deleted;
  if (page->Create(kind == PageKind::kPrivate ? IDD_PRIVATE_PAGE : IDD, parent)) {
    page->m_deletedDuringOpen = nullptr;
    return page;
  }
  // A window that came into existence took the page with it (PostNcDestroy);
  // one that never did leaves the object to us.
  if (!deleted) delete page;
  return nullptr;
}

BOOL CChannelPage::OnInitDialog() {
  CModelessPage::OnInitDialog();
  m_initialised = true;
  m_inputFont.CreatePointFont(130, "SYSTEM");
  ::SendDlgItemMessageA(m_hWnd, IDC_CHANNEL_INPUT, WM_SETFONT,
                        reinterpret_cast<WPARAM>(m_inputFont.GetSafeHandle()), TRUE);
  m_blackBrush.CreateSolidBrush(kBlack);
  m_console.SetUp();
  if (m_kind == PageKind::kChannel) {
    // A user entering changes the list and the console in the same burst.
    m_console.PaceRedrawWith(&m_userListRedraw);
    SetUpClientList(m_userList, kUserListColumns);
    m_userList.NameForReaders();
  }
  m_input.NameForReaders();
  m_console.NameForReaders();
  // The system gives a channel page's first control the focus; a private
  // page opens behind the shown one for a message and must not take it
  // (its host gives the focus when it shows the page).
  return m_kind == PageKind::kChannel;
}

// WM_LINK_EVENT is answered here, never by the dialog manager: the number is
// DM_REPOSITION's.
BEGIN_MESSAGE_MAP(CChannelPage, CModelessPage)
  ON_WM_DESTROY()
  ON_WM_SIZE()
  ON_BN_CLICKED(IDC_CHANNEL_LEAVE, OnLeave)
  ON_WM_CTLCOLOR()
  ON_WM_MOUSEMOVE()
  ON_MESSAGE(WM_LINK_EVENT, OnLinkEvent)
  ON_MESSAGE(WM_SHOWWINDOW, OnShowPage)
  ON_WM_CONTEXTMENU()
  ON_NOTIFY(NM_DBLCLK, IDC_CHANNEL_USERS, OnUserDoubleClick)
  // The button-up entry written out: its handler's name is not OnLButtonUp.
  // clang-format off
  {WM_LBUTTONUP, 0, 0, 0, AfxSig_vwp,
   AfxMsgFn<void (CWnd::*)(UINT, CPoint)>(&ThisClass::OnLeftButtonRelease)},
  // clang-format on
END_MESSAGE_MAP()

// ---- received messages -------------------------------------------------------

LRESULT CChannelPage::OnLinkEvent(WPARAM code, LPARAM value) {
  if (code != LinkMessage) {
    OnLinkStateChange(code);
    return 0;
  }
  const auto* record = reinterpret_cast<const MessageRecord*>(value);
  if (record == nullptr || record->payload == nullptr) return 0;
  ChannelMessageEffect effect;
  const bool forThisPage = m_kind == PageKind::kPrivate
                               ? ReadPrivateMessage(*record, m_channelName, &effect)
                               : ReadChannelMessage(*record, m_channelName, &effect);
  if (!forThisPage) return 0;
  ApplyChannelMessage(effect);
  NoticeChatLine(record->type, effect);
  return 1;
}

void CChannelPage::ApplyChannelMessage(const ChannelMessageEffect& effect) {
  if (effect.listChange == UserListChange::kAdd) AddUser(effect.nick, effect.files, effect.speed);
  if (effect.listChange == UserListChange::kRemove) RemoveUser(effect.nick);
  if (effect.listChange == UserListChange::kClear) {
    m_userListRedraw.BeginChange(m_userList.m_hWnd);
    m_userList.DeleteAllItems();
    m_userListRedraw.EndChange();
  }
  if (effect.topicChanged) SetDlgItemText(IDC_CHANNEL_TOPIC, effect.topic);
  for (int i = 0; i < effect.pieceCount; ++i)
    AppendConsole(effect.pieces[i].colour, effect.pieces[i].text);
}

void CChannelPage::ShowOwnLine(const char* text) {
  const CServerLink* link = m_host->GetServerLink();
  ChannelMessageEffect effect;
  FormatChatLine(link != nullptr ? link->Nickname().c_str() : "", text, &effect);
  ApplyChannelMessage(effect);
}

void CChannelPage::AppendConsole(COLORREF colour, const char* text) {
  m_console.AppendConsole(colour, text);
}

// ---- user list ---------------------------------------------------------------

void CChannelPage::AddUser(const char* nickname, std::uint32_t files, std::uint32_t speed) {
  m_userListRedraw.BeginChange(m_userList.m_hWnd);
  // The list sorts itself: the insert returns the row's final index.
  const int row = m_userList.InsertItem(m_userList.GetItemCount(), nickname);
  if (row >= 0) {
    char text[16];
    wsprintfA(text, "%u", static_cast<unsigned>(files));
    m_userList.SetItemText(row, 1, text);
    m_userList.SetItemText(row, 2, const_cast<LPTSTR>(SpeedName(speed)));
  }
  m_userListRedraw.EndChange();
}

void CChannelPage::RemoveUser(const char* nickname) {
  const int count = m_userList.GetItemCount();
  // Larger than any nickname a payload can carry, so no text comes back cut.
  char text[kConsoleLineSize];
  for (int row = 0; row < count; ++row) {
    m_userList.GetItemText(row, 0, text, sizeof(text));
    if (std::strcmp(text, nickname) == 0) {
      m_userListRedraw.BeginChange(m_userList.m_hWnd);
      m_userList.DeleteItem(row);
      m_userListRedraw.EndChange();
      return;
    }
  }
}

// ---- input -------------------------------------------------------------------

BOOL CChannelPage::PreTranslateMessage(MSG* pMsg) {
  // Tab switching and the host's window keys are for the windows above.
  if (IsFrameKeyMessage(*pMsg)) return FALSE;
  // Ctrl+F, F3 and Shift+F3: Find in the chat.
  if (m_console.PreTranslateFindKey(*pMsg)) return TRUE;
  if (pMsg->message == WM_SYSKEYDOWN && pMsg->wParam == VK_END) {
    const KeyStroke key = ReadKeyStroke(*pMsg);
    if (key.alt && !key.ctrl && !key.shift) return ShowFirstNewLine();
  }
  // Enter on a user: the dialog manager would take it before the list
  // could tell (the list asks for no Enter), so it is seen here.
  if (pMsg->message == WM_KEYDOWN && pMsg->wParam == VK_RETURN && m_userList.m_hWnd != nullptr &&
      pMsg->hwnd == m_userList.m_hWnd) {
    char nick[kConsoleLineSize];
    if (!UserAt(SelectedUserRow(), nick)) return FALSE;
    TalkPrivatelyWith(nick);
    return TRUE;
  }
  if (pMsg->message == WM_KEYDOWN && pMsg->hwnd == ::GetDlgItem(m_hWnd, IDC_CHANNEL_INPUT)) {
    switch (pMsg->wParam) {
      case VK_RETURN:
        // An empty line is not consumed: the key goes on to the input box.
        return SendInput();
      case VK_UP:
      case VK_DOWN:
        RecallInputLine(pMsg->wParam == VK_UP);
        return TRUE;
      case VK_TAB:
        // Shift+Tab, and a Tab with nothing to complete, move the focus.
        if (::GetKeyState(VK_SHIFT) >= 0 && CompleteNickname()) return TRUE;
        break;
      default:
        break;
    }
  }
  return CModelessPage::PreTranslateMessage(pMsg);
}

int CChannelPage::SendInput() {
  HWND input = ::GetDlgItem(m_hWnd, IDC_CHANNEL_INPUT);
  char text[kFrameBufferSize] = {};
  ::GetWindowTextA(input, text, sizeof(text));
  if (text[0] == '\0') return 0;
  // Held whether it goes or not: Up finds it again after other lines.
  m_history.Add(text);
  const CommandOutcome command = RunInputCommand(text);
  // A closed page is gone; a refused command stays in the box to be mended.
  if (command == CommandOutcome::kPageClosed) return 1;
  bool sent = command == CommandOutcome::kDone;
  if (command == CommandOutcome::kNotACommand) {
    OutgoingLine line;
    const bool isPrivate = m_kind == PageKind::kPrivate;
    if (isPrivate ? !PreparePrivateLine(m_channelName, text, &line)
                  : !PrepareInputLine(m_channelName, text, &line)) {
      return 0;
    }
    sent = SendInputLine(m_host->GetServerLink(), m_channelName, line) != 0;
    if (!sent) {
      // Not sent whole (offline, still connecting, or a send that failed and
      // so closed the connection): the line stays to be sent again, and the
      // chat says why. The beep tells one whose focus and reader stay on the
      // input line.
      AppendConsole(kCyan, kNotSentLine);
      ::MessageBeep(MB_ICONWARNING);
    } else if (isPrivate) {
      ShowOwnLine(line.text);
    }
  }
  if (sent) ::SetWindowTextA(input, "");
  // A command that showed another page (/query) gave it the focus.
  const HWND focus = ::GetFocus();
  if (focus == nullptr || focus == m_hWnd || ::IsChild(m_hWnd, focus)) ::SetFocus(input);
  return 1;
}

LRESULT CChannelPage::OnShowPage(WPARAM shown, LPARAM status) {
  // Status 0: ShowWindow on the page itself, not its parent's minimising.
  if (status == 0) {
    if (shown) {
      m_console.ReaderReturns();
    } else {
      m_console.ReaderLeaves();
      m_console.CloseFind();
    }
  }
  return Default();
}

BOOL CChannelPage::ShowFirstNewLine() {
  if (!m_console.SelectFirstNewLine()) return FALSE;
  m_console.SetFocus();
  return TRUE;
}

// ---- leaving -----------------------------------------------------------------

void CChannelPage::OnLeave() {
  m_host->RemoveChannelPage(this);
  // Deletes this page on the way (PostNcDestroy); nothing of it is touched after.
  DestroyWindow();
}

void CChannelPage::OnDestroy() {
  m_userListRedraw.Forget();
  CModelessPage::OnDestroy();
  // A private page closes without a word to the server.
  if (m_initialised && m_kind == PageKind::kChannel)
    SendLeave(m_host->GetServerLink(), m_channelName);
}

void CChannelPage::PostNcDestroy() {
  CModelessPage::PostNcDestroy();
  if (m_deletedDuringOpen != nullptr) *m_deletedDuringOpen = true;
  delete this;
}

HBRUSH CChannelPage::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor) {
  HBRUSH brush = CModelessPage::OnCtlColor(pDC, pWnd, nCtlColor);
  if (nCtlColor != CTLCOLOR_EDIT) return brush;
  pDC->SetTextColor(kWhite);
  pDC->SetBkColor(kBlack);
  return m_blackBrush;
}

// ---- layout and splitter -----------------------------------------------------

void CChannelPage::OnSize(UINT nType, int cx, int cy) {
  CModelessPage::OnSize(nType, cx, cy);
  LayoutControls();
}

void CChannelPage::LayoutControls() {
  if (::GetDlgItem(m_hWnd, IDC_CHANNEL_INPUT) == nullptr) return;
  CRect client;
  GetClientRect(&client);
  const int width = client.Width();
  const int height = client.Height();
  const CRect button = ControlRect(*this, IDC_CHANNEL_LEAVE);
  const int buttonWidth = button.Width();
  const int buttonHeight = button.Height();
  // A private page has neither: its console takes their room.
  const int topicHeight = ControlRect(*this, IDC_CHANNEL_TOPIC).Height();
  const int listWidth = ControlRect(*this, IDC_CHANNEL_USERS).Width();
  const int gap = m_userList.m_hWnd != nullptr ? kSplitterGap : 0;
  // A page too small for its controls gives empty ones, never negative sizes.
  const int paneHeight = std::max(0, height - topicHeight - buttonHeight);
  const auto place = [this](int id, int x, int y, int cx, int cy) {
    const HWND control = ::GetDlgItem(m_hWnd, id);
    if (control != nullptr)
      ::SetWindowPos(control, nullptr, x, y, std::max(0, cx), std::max(0, cy), kMoveOnly);
  };
  place(IDC_CHANNEL_LEAVE, width - buttonWidth, height - buttonHeight, buttonWidth, buttonHeight);
  place(IDC_CHANNEL_INPUT, 0, height - buttonHeight, width - buttonWidth - 2, buttonHeight);
  place(IDC_CHANNEL_TOPIC, 0, 0, width, topicHeight);
  place(IDC_CHANNEL_USERS, width - listWidth, topicHeight, listWidth, paneHeight);
  place(IDC_CHANNEL_CONSOLE, 0, topicHeight, width - listWidth - gap, paneHeight);

  const long length = m_console.GetTextLength();
  m_console.SetSel(length, length);
  if (::GetFocus() != m_console.m_hWnd) m_console.SendMessage(EM_SCROLLCARET);
  m_console.Invalidate(TRUE);
}

CRect CChannelPage::SplitterGap() const {
  if (m_userList.m_hWnd == nullptr) return CRect(0, 0, 0, 0);
  const CRect console = ControlRect(*this, IDC_CHANNEL_CONSOLE);
  const CRect list = ControlRect(*this, IDC_CHANNEL_USERS);
  return CRect(console.right, console.top, list.left, list.bottom);
}

void CChannelPage::OnMouseMove(UINT nFlags, CPoint point) {
  const bool dragging = ::GetCapture() == m_hWnd;
  if (!dragging && SplitterGap().PtInRect(point)) {
    ::SetCursor(::LoadCursor(nullptr, IDC_SIZEWE));
    if (nFlags == MK_LBUTTON) ::SetCapture(m_hWnd);
  }
  if (nFlags == MK_LBUTTON && ::GetCapture() == m_hWnd) {
    CRect page;
    GetWindowRect(&page);
    const int pageWidth = page.Width();
    // Both panes keep at least kMinPaneWidth pixels, whatever the drag; a
    // page too narrow for both splits what there is.
    const int lowest = kMinPaneWidth + kSplitterGap / 2;
    const int highest = pageWidth - kMinPaneWidth - kSplitterGap / 2;
    const int x = highest < lowest ? pageWidth / 2
                                   : std::min(std::max(static_cast<int>(point.x), lowest), highest);
    const CRect list = ControlRect(*this, IDC_CHANNEL_USERS);
    ::SetWindowPos(::GetDlgItem(m_hWnd, IDC_CHANNEL_USERS), nullptr, x + kSplitterGap / 2, list.top,
                   std::max(0, pageWidth - x - kSplitterGap / 2), list.Height(), kMoveOnly);
    // The layout of a size change; OnSize itself would hand this mouse
    // message to the default procedure a second time.
    LayoutControls();
  }
  Default();
}

void CChannelPage::OnLeftButtonRelease(UINT, CPoint) {
  if (::GetCapture() == m_hWnd) {
    ::SetCursor(::LoadCursor(nullptr, IDC_ARROW));
    ::ReleaseCapture();
  }
  Default();
}
