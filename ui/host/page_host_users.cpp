// The page host's part in what concerns users rather than channels
// (CPageHostDlg members): private pages opened and found, the answers to
// user information requests sent where they were asked, server notices,
// pings. See page_host_dlg.h.
#include <algorithm>
#include <cstdio>
#include <cstring>

#include "link/message_catalogue.h"
#include "ui/console/console_view.h"
#include "ui/core/colours.h"
#include "ui/core/rtf_guard.h"
#include "ui/core/user_messages.h"
#include "ui/host/page_host_dlg.h"
#include "ui/pages/channel_page_ids.h"

namespace {

// What a screen reader hears of a private page's tab, before any mark.
const wchar_t kPrivateTabDescription[] = L"個人メッセージ";

}  // namespace

CChannelPage* CPageHostDlg::OpenPrivatePage(const char* nick, bool show) {
  int tab = FindPageTab(PageKind::kPrivate, nick);
  if (tab < 0) {
    // As with channels: none once the host goes, none beyond the tab bar.
    if (m_closing || m_tabBar.GetTabCount() >= CTabBar::kMaxTabs) return nullptr;
    CChannelPage* page = CChannelPage::Open(this, nick, this, PageKind::kPrivate);
    if (page == nullptr) return nullptr;
    // Created hidden, and it stays so until its tab is selected.
    m_tabBar.AddTab(page->ChannelName(), page, kPrivateTabDescription);
    tab = m_tabBar.GetTabCount() - 1;
    LayoutControls();
  }
  auto* page = static_cast<CChannelPage*>(m_tabBar.GetTabPage(tab));
  if (show) {
    m_tabBar.SetCurSel(tab);
    ShowSelectedPage();
    ::SetFocus(::GetDlgItem(page->m_hWnd, IDC_CHANNEL_INPUT));
  }
  return page;
}

int CPageHostDlg::AskUserInfo(CChannelPage* page, const char* nick) {
  if (!SendUserInfoRequest(&m_link, nick)) return 0;
  UserInfoAsk& ask = m_asks[m_nextAsk];
  m_nextAsk = (m_nextAsk + 1) % kAsks;
  // A nickname too long to keep is never matched: its answer goes to the
  // shown page.
  const bool kept = std::strlen(nick) < sizeof ask.nick;
  std::snprintf(ask.nick, sizeof ask.nick, "%s", kept ? nick : "");
  ask.page = kept ? page : nullptr;
  return 1;
}

void CPageHostDlg::AppendToTab(int tab, COLORREF colour, const char* text) {
  if (tab > 0) {
    static_cast<CChannelPage*>(m_tabBar.GetTabPage(tab))->AppendConsole(colour, text);
    return;
  }
  // The server console takes the link's lines unscreened; these carry
  // another user's text.
  if (IsUnsafeRtf(text)) {
    m_managerPage.AppendConsole(kCyan, kRefusedRtfLine);
  } else {
    m_managerPage.AppendConsole(colour, text);
  }
}

int CPageHostDlg::OnUserMessage(const MessageRecord& record) {
  switch (record.type) {
    case MsgUserPing:
      // Answered at once and shown nowhere.
      SendPingReply(&m_link, record);
      return 1;
    case MsgPrivateMessage: {
      char sender[kConsoleLineSize];
      // A message naming no one is left to the link's own line.
      if (!ReadPrivateSender(record, sender)) return -1;
      // The page, opened behind the shown one, takes it with every page.
      if (OpenPrivatePage(sender, false) != nullptr) return -1;
      ConsolePiece line;
      FormatUnshownPrivateLine(record, &line);
      AppendToTab(0, line.colour, line.text);
      return 1;
    }
    case MsgServerNotice: {
      ConsolePiece line;
      FormatServerNotice(record, &line);
      const int shown = m_tabBar.GetCurSel();
      if (shown > 0) AppendToTab(shown, line.colour, line.text);
      AppendToTab(0, line.colour, line.text);
      return 1;
    }
    case MsgUserInfo: {
      char nick[kConsoleLineSize];
      UserInfoBlock block;
      if (!ReadUserInfoNick(record, nick) || !FormatUserInfo(record, &block)) return -1;
      int tab = m_tabBar.GetCurSel();
      for (UserInfoAsk& ask : m_asks) {
        if (ask.page == nullptr || std::strcmp(ask.nick, nick) != 0) continue;
        const int asked = TabOfPage(ask.page);
        if (asked > 0) tab = asked;
        ask.page = nullptr;
        break;
      }
      for (int i = 0; i < block.count; ++i)
        AppendToTab(std::max(tab, 0), block.lines[i].colour, block.lines[i].text);
      return 1;
    }
    default:
      return -1;
  }
}
