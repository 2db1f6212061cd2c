// The manager page: set-up, link events and their state, the connect
// toggle, refresh, join and layout. See manager_page.h for ownership and
// threads.
#include "ui/pages/manager_page.h"

#include <cstdlib>
#include <cstring>
#include <string>

#include "link/cp932_text.h"
#include "link/link_event.h"
#include "link/message_catalogue.h"
#include "link/payload.h"
#include "link/server_link.h"
#include "res/image_ids.h"
#include "ui/core/colours.h"
#include "ui/core/manager_rules.h"
#include "ui/controls/client_lists.h"
#include "ui/controls/key_stroke.h"
#include "ui/pages/manager_page_host.h"
#include "ui/ui_messages.h"

namespace {

// Resource ids of m_statusBitmaps [0] to [3].
const UINT kStatusBitmapIds[4] = {IDB_STATUS_OFFLINE, IDB_STATUS_CONNECTING,
                                  IDB_STATUS_CONNECTING_LIT, IDB_STATUS_ONLINE};

const UINT kResizeOnly = SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE;

const int kPaneIds[] = {IDC_MANAGER_CONNECT, IDC_MANAGER_SERVER_LOG, IDC_MANAGER_CHANNELS};

}  // namespace

const PaneList CManagerPage::kPanes = {kPaneIds, 3};

CManagerPage::CManagerPage(IManagerPageHost* host, CWnd* pParent)
    : CModelessPage(IDD, pParent),
      // What a screen reader calls them: the group boxes' and labels' words.
      m_channelList("チャンネルリスト"),
      m_serverLog(kServerConsoleStyle, "サーバメッセージ"),
      m_addressEdit("サーバアドレス"),
      m_nicknameEdit("ニックネーム"),
      m_addressText(""),
      m_nicknameText("Nanashi@Velmo"),
      m_host(host) {}

CManagerPage::~CManagerPage() = default;

void CManagerPage::DoDataExchange(CDataExchange* pDX) {
  CModelessPage::DoDataExchange(pDX);
  DDX_Control(pDX, IDC_MANAGER_CHANNELS, m_channelList);
  DDX_Control(pDX, IDC_MANAGER_SERVER_LOG, m_serverLog);
  DDX_Control(pDX, IDC_MANAGER_ADDRESS, m_addressEdit);
  DDX_Control(pDX, IDC_MANAGER_NICKNAME, m_nicknameEdit);
  DDX_Text(pDX, IDC_MANAGER_ADDRESS, m_addressText);
  DDV_MaxChars(pDX, m_addressText, kMaxAddressBytes);
  DDX_Text(pDX, IDC_MANAGER_NICKNAME, m_nicknameText);
  DDV_MaxChars(pDX, m_nicknameText, kMaxNicknameBytes);
}

BOOL CManagerPage::OnInitDialog() {
  CModelessPage::OnInitDialog();
  m_serverLog.SetUp();
  m_logSink.Attach(m_serverLog);

  SetUpClientList(m_channelList, kChannelListColumns);
  m_channelList.NameForReaders();
  m_serverLog.NameForReaders();
  m_addressEdit.NameForReaders();
  m_nicknameEdit.NameForReaders();

  for (int i = 0; i < 4; ++i) m_statusBitmaps[i].LoadBitmap(kStatusBitmapIds[i]);
  ShowStatusImage(kImageOffline);

  std::srand(::GetTickCount());
  char nickname[32];
  wsprintfA(nickname, "Nanashi@Velmo%03u", static_cast<unsigned>(std::rand() % 999));
  m_nicknameText = nickname;
  UpdateData(FALSE);
  return TRUE;
}

// WM_LINK_EVENT is answered here, never by the dialog manager: the number is
// DM_REPOSITION's.
BEGIN_MESSAGE_MAP(CManagerPage, CModelessPage)
  ON_WM_DESTROY()
  ON_WM_SIZE()
  ON_BN_CLICKED(IDC_MANAGER_CONNECT, OnConnectToggle)
  ON_WM_TIMER()
  ON_BN_CLICKED(IDC_MANAGER_REFRESH, OnRefresh)
  ON_MESSAGE(WM_LINK_EVENT, OnLinkEvent)
  ON_BN_CLICKED(IDC_MANAGER_JOIN, OnJoin)
  ON_EN_CHANGE(IDC_MANAGER_ADDRESS, OnAddressChange)
  ON_EN_CHANGE(IDC_MANAGER_NICKNAME, OnNicknameChange)
END_MESSAGE_MAP()

void CManagerPage::OnAddressChange() { KeepWithinBytes(IDC_MANAGER_ADDRESS, kMaxAddressBytes); }

BOOL CManagerPage::PreTranslateMessage(MSG* pMsg) {
  if (IsFrameKeyMessage(*pMsg)) return FALSE;
  // Ctrl+F, F3 and Shift+F3: Find in the server messages.
  if (m_serverLog.PreTranslateFindKey(*pMsg)) return TRUE;
  return CModelessPage::PreTranslateMessage(pMsg);
}

void CManagerPage::OnNicknameChange() { KeepWithinBytes(IDC_MANAGER_NICKNAME, kMaxNicknameBytes); }

void CManagerPage::KeepWithinBytes(int id, int limit) {
  // The edits' text limit counts characters on some systems: a double-byte
  // character then counts one, and typed text could pass the byte limit.
  char text[kFrameBufferSize] = {};
  HWND edit = ::GetDlgItem(m_hWnd, id);
  ::GetWindowTextA(edit, text, sizeof(text));
  const std::size_t length = std::strlen(text);
  if (length <= static_cast<std::size_t>(limit)) return;
  // A character straddling the limit goes whole.
  text[CharBoundaryLength(text, static_cast<std::size_t>(limit))] = '\0';
  ::SetWindowTextA(edit, text);
  ::SendMessageA(edit, EM_SETSEL, limit, limit);
}

void CManagerPage::OnDestroy() {
  CModelessPage::OnDestroy();
  // The static control does not own its image: take it back, then free all
  // four, so a page whose window is created again loads them afresh.
  ShowStatusImage(kImageUnchanged);
  for (CBitmap& bitmap : m_statusBitmaps) bitmap.DeleteObject();
}

// ---- link events ---------------------------------------------------------------

LRESULT CManagerPage::OnLinkEvent(WPARAM code, LPARAM value) {
  if (code != LinkMessage) return OnLinkState(static_cast<int>(code));
  const auto* record = reinterpret_cast<const MessageRecord*>(value);
  if (record == nullptr || record->payload == nullptr) return 0;
  return OnMessage(*record);
}

int CManagerPage::OnLinkState(int code) {
  const LinkStateReaction reaction = ReactToLinkState(code);
  if (!reaction.handled) return 0;
  m_linkOnline = code == LinkOnline;
  if (reaction.blinkTimer == Change::kOff) KillTimer(BLINK_TIMER_ID);
  if (reaction.edits != Change::kUnchanged) EnableEdits(reaction.edits == Change::kOn);
  if (reaction.image != kImageUnchanged) ShowStatusImage(reaction.image);
  if (reaction.resetToggle) ShowToggle(false);
  if (reaction.blinkTimer == Change::kOn) SetTimer(BLINK_TIMER_ID, kBlinkMilliseconds);
  // Sent while the worker still waits in this event, so the request is on
  // the wire before the receive loop starts.
  if (reaction.requestChannels) OnRefresh();
  return 1;
}

int CManagerPage::OnMessage(const MessageRecord& record) {
  switch (record.type) {
    case MsgJoined:
      // The page host copies the name before it returns.
      m_host->OpenChannelPage(record.payload);
      return 1;
    case MsgChannelListEntry:
      AddChannelRow(record);
      return 1;
    case MsgMotd:
      LogLine(&m_logSink, kMotdGreen, "[Motd] %s\r\n", record.payload);
      return 1;
    default:
      return 0;
  }
}

void CManagerPage::AddChannelRow(const MessageRecord& record) {
  // A private copy: the split writes into it, the payload is the worker's.
  CPayloadCopy copy(record);
  const ChannelListFields fields = ReadChannelListFields(copy);
  m_channelListRedraw.BeginChange(m_channelList.m_hWnd);
  // The list is unsorted, so the row stays at the end it is put at.
  const int row = m_channelList.InsertItem(m_channelList.GetItemCount(), fields.channel);
  if (row >= 0) {
    m_channelList.SetItemText(row, 1, const_cast<LPTSTR>(fields.users));
    m_channelList.SetItemText(row, 2, const_cast<LPTSTR>(fields.topic));
  }
  m_channelListRedraw.EndChange();
}

void CManagerPage::AppendConsole(COLORREF colour, const char* text) {
  m_serverLog.AppendConsole(colour, text);
}

// ---- state shown -----------------------------------------------------------------

void CManagerPage::ShowStatusImage(int image) {
  const HBITMAP bitmap =
      image == kImageUnchanged ? nullptr : static_cast<HBITMAP>(m_statusBitmaps[image]);
  ::SendDlgItemMessageA(m_hWnd, IDC_MANAGER_STATUS, STM_SETIMAGE, IMAGE_BITMAP,
                        reinterpret_cast<LPARAM>(bitmap));
}

int CManagerPage::ShownStatusImage() const {
  const auto shown = reinterpret_cast<HBITMAP>(
      ::SendDlgItemMessageA(m_hWnd, IDC_MANAGER_STATUS, STM_GETIMAGE, IMAGE_BITMAP, 0));
  if (shown == nullptr) return kImageUnchanged;
  for (int i = 0; i < 4; ++i) {
    if (static_cast<HBITMAP>(m_statusBitmaps[i]) == shown) return i;
  }
  return kImageUnchanged;
}

void CManagerPage::ShowToggle(bool connected) {
  // BM_SETCHECK sends no click, so no toggle handler runs.
  ::CheckDlgButton(m_hWnd, IDC_MANAGER_CONNECT, connected ? BST_CHECKED : BST_UNCHECKED);
  SetDlgItemText(IDC_MANAGER_CONNECT, connected ? "切断" : "接続");
}

void CManagerPage::EnableEdits(BOOL enable) {
  ::EnableWindow(::GetDlgItem(m_hWnd, IDC_MANAGER_ADDRESS), enable);
  ::EnableWindow(::GetDlgItem(m_hWnd, IDC_MANAGER_NICKNAME), enable);
}

void CManagerPage::OnTimer(UINT nIDEvent) {
  const int next = NextBlinkImage(ShownStatusImage());
  if (next != kImageUnchanged) ShowStatusImage(next);
  CModelessPage::OnTimer(nIDEvent);
}

// ---- buttons -----------------------------------------------------------------------

void CManagerPage::OnConnectToggle() {
  CServerLink* link = m_host->GetServerLink();
  if (::IsDlgButtonChecked(m_hWnd, IDC_MANAGER_CONNECT) != BST_CHECKED) {
    link->Stop();
    ShowToggle(false);
    return;
  }
  // A failed length check has shown its own message; the checks below
  // decide.
  UpdateData(TRUE);
  if (!ValidateServerAddress(m_addressText)) {
    ShowToggle(false);
    AfxMessageBox("サーバーアドレスが不正です", MB_OK);
    return;
  }
  if (!IsValidNickname(m_nicknameText)) {
    ShowToggle(false);
    AfxMessageBox("ニックネームが不正です", MB_OK);
    return;
  }
  if (!link->Start(m_host->GetLinkEventTarget(), m_addressText, m_nicknameText)) {
    ShowToggle(false);
    return;
  }
  ShowToggle(true);
}

void CManagerPage::OnRefresh() {
  // Refused until the link is online, as 参加 is: a request while the login
  // reply is pending is answered, and going online asks again, so every row
  // came twice. The page's own knowledge decides, not the link's flag, which
  // rises a moment before its event arrives.
  if (!m_linkOnline) {
    MessageBox("サーバに未接続です", "エラー", MB_OK);
    return;
  }
  // A send that fails (the link just ended) leaves the list as it is.
  if (SendChannelListRequest(m_host->GetServerLink())) {
    m_channelList.DeleteAllItems();
  }
}

void CManagerPage::OnJoin() {
  if (m_channelList.GetSelectedCount() == 0) return;
  CServerLink* link = m_host->GetServerLink();
  if (!link->IsOnline()) {
    MessageBox("サーバに未接続です", "エラー", MB_OK);
    return;
  }
  // Longer than any name a 618 row can carry, so none comes back cut.
  char channel[kFrameBufferSize];
  const int count = m_channelList.GetItemCount();
  for (int row = 0; row < count; ++row) {
    if ((m_channelList.GetItemState(row, LVIS_SELECTED) & LVIS_SELECTED) == 0) continue;
    m_channelList.GetItemText(row, 0, channel, sizeof(channel));
    if (channel[0] == '\0') continue;
    SendJoin(link, channel);
    return;
  }
}

// ---- layout --------------------------------------------------------------------------

void CManagerPage::OnSize(UINT nType, int cx, int cy) {
  CModelessPage::OnSize(nType, cx, cy);
  LayoutControls();
}

void CManagerPage::LayoutControls() {
  if (::GetDlgItem(m_hWnd, IDC_MANAGER_STATUS) == nullptr) return;
  const int ids[] = {IDC_MANAGER_SERVER_GROUP,  IDC_MANAGER_ADDRESS,    IDC_MANAGER_NICKNAME,
                     IDC_MANAGER_MESSAGE_GROUP, IDC_MANAGER_SERVER_LOG, IDC_MANAGER_CHANNEL_GROUP,
                     IDC_MANAGER_CHANNELS};
  ManagerControls now;
  Rect* rects[] = {&now.serverGroup, &now.address,      &now.nickname,   &now.messageGroup,
                   &now.serverLog,   &now.channelGroup, &now.channelList};
  for (int i = 0; i < 7; ++i) {
    RECT rect = {0, 0, 0, 0};
    HWND control = ::GetDlgItem(m_hWnd, ids[i]);
    if (control != nullptr) {
      ::GetWindowRect(control, &rect);
      ScreenToClient(&rect);
    }
    *rects[i] = {rect.left, rect.top, rect.right, rect.bottom};
  }
  RECT client;
  GetClientRect(&client);
  const ManagerControls next =
      StretchManagerControls({client.left, client.top, client.right, client.bottom}, now);
  const Rect* sized[] = {&next.serverGroup,  &next.address,   &next.nickname,
                         &next.messageGroup, &next.serverLog, &next.channelGroup,
                         &next.channelList};
  for (int i = 0; i < 7; ++i) {
    ::SetWindowPos(::GetDlgItem(m_hWnd, ids[i]), nullptr, 0, 0, sized[i]->right - sized[i]->left,
                   sized[i]->bottom - sized[i]->top, kResizeOnly);
  }
}
