// The channel page's notice of chat lines: a line from someone else marks
// the page's tab, and one naming the user also draws attention to the host's
// main window. See channel_page.h.
#include "link/server_link.h"
#include "ui/core/channel_messages.h"
#include "ui/core/tab_mark.h"
#include "ui/pages/channel_page.h"
#include "ui/pages/channel_page_host.h"

namespace {

// Flashes window until the user brings it to the front; one in front already
// needs no flash.
void FlashUntilFront(HWND window) {
  if (window == nullptr || window == ::GetForegroundWindow()) return;
  FLASHWINFO info = {sizeof(info), window, FLASHW_ALL | FLASHW_TIMERNOFG, 0, 0};
  ::FlashWindowEx(&info);
}

}  // namespace

void CChannelPage::NoticeChatLine(unsigned type, const ChannelMessageEffect& effect) {
  const CServerLink* link = m_host->GetServerLink();
  // Without a link no line is one's own and none names the user.
  const char* own = link != nullptr ? link->Nickname().c_str() : "";
  const TabMark mark = TabMarkOfLine(type, own, effect.nick, effect.text);
  if (mark == TabMark::kNone) return;
  m_host->MarkChannelPage(this, mark);
  if (mark == TabMark::kMention) FlashUntilFront(::GetAncestor(m_hWnd, GA_ROOT));
}
