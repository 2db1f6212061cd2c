// The channel page's user list as a way to a person (CChannelPage
// members): a double-click or Enter on a user opens a private page with
// them; the context menu (the right button, the menu key, Shift+F10) offers
// 個人メッセージ and ユーザー情報. See channel_page.h.
#include "link/log_sink.h"
#include "ui/core/console_line.h"
#include "ui/pages/channel_page.h"
#include "ui/pages/channel_page_host.h"

namespace {

enum : UINT { kPrivateMessageItem = 1, kUserInfoItem = 2 };

}  // namespace

bool CChannelPage::UserAt(int row, char* nick) {
  if (row < 0 || row >= m_userList.GetItemCount()) return false;
  // Larger than any nickname a payload can carry, so none comes back cut.
  m_userList.GetItemText(row, 0, nick, kConsoleLineSize);
  nick[kConsoleLineSize - 1] = '\0';
  return nick[0] != '\0';
}

int CChannelPage::SelectedUserRow() const {
  return static_cast<int>(
      ::SendMessageA(m_userList.m_hWnd, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

void CChannelPage::TalkPrivatelyWith(const char* nick) {
  if (m_host->OpenPrivatePage(nick, true) == nullptr)
    SayInPage(kDiagnosticColour, "%s さんの個人ページを開けません\r\n", nick);
}

void CChannelPage::OnUserDoubleClick(NMHDR* header, LRESULT* result) {
  // The row under the pointer; -1 when the click was below the rows.
  char nick[kConsoleLineSize];
  if (UserAt(reinterpret_cast<NMITEMACTIVATE*>(header)->iItem, nick)) TalkPrivatelyWith(nick);
  *result = 0;
}

void CChannelPage::OnContextMenu(CWnd* pWnd, CPoint pos) {
  if (pWnd == nullptr || pWnd->m_hWnd != m_userList.m_hWnd) {
    // Not ours to show: the window above may have one.
    Default();
    return;
  }
  int row = -1;
  CPoint at = pos;
  if (pos.x == -1 && pos.y == -1) {
    // From the keyboard: the menu goes under the selected user.
    row = SelectedUserRow();
    if (row < 0) return;
    m_userList.SendMessage(LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE);
    RECT item = {LVIR_LABEL, 0, 0, 0};
    m_userList.SendMessage(LVM_GETITEMRECT, static_cast<WPARAM>(row),
                           reinterpret_cast<LPARAM>(&item));
    at = CPoint(item.left, item.bottom);
    m_userList.ClientToScreen(&at);
  } else {
    // The user under the pointer, selected so the menu is plainly theirs.
    LVHITTESTINFO hit = {};
    hit.pt = pos;
    m_userList.ScreenToClient(&hit.pt);
    row = static_cast<int>(m_userList.SendMessage(LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
    if (row < 0) return;
    m_userList.SetItemState(row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  }
  // Read before the menu's own loop runs: a user may leave meanwhile.
  char nick[kConsoleLineSize];
  if (!UserAt(row, nick)) return;
  CMenu menu;
  if (!menu.CreatePopupMenu()) return;
  menu.AppendMenu(MF_STRING, kPrivateMessageItem, "個人メッセージ(&M)");
  menu.AppendMenu(MF_STRING, kUserInfoItem, "ユーザー情報(&I)");
  // What a double-click does, shown in bold.
  menu.SetDefaultItem(kPrivateMessageItem);
  const UINT align = ::GetSystemMetrics(SM_MENUDROPALIGNMENT) != 0 ? TPM_RIGHTALIGN : TPM_LEFTALIGN;
  const HWND self = m_hWnd;
  const UINT chosen = static_cast<UINT>(menu.TrackPopupMenu(
      align | TPM_TOPALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD | TPM_NONOTIFY, at.x, at.y, this));
  // The menu's loop served other messages: the page may have gone with them.
  if (!::IsWindow(self)) return;
  if (chosen == kPrivateMessageItem) TalkPrivatelyWith(nick);
  if (chosen == kUserInfoItem && !m_host->AskUserInfo(this, nick))
    SayInPage(kDiagnosticColour, "サーバに未接続です\r\n");
}
