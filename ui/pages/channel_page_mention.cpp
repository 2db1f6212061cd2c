// The channel page's notice of chat lines: a line from someone else marks
// the page's tab, and one naming the user also draws attention to the host's
// main window. See channel_page.h.
#include <cstring>

#include "link/message_catalogue.h"
#include "link/server_link.h"
#include "ui/core/channel_messages.h"
#include "ui/core/nick_text.h"
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
  if (type != MsgChannelText && type != MsgAction) return;
  const CServerLink* link = m_host->GetServerLink();
  // Without a link no line is one's own and none names the user.
  const char* own = link != nullptr ? link->Nickname().c_str() : "";
  // One's own line, echoed by the server, is no news.
  if (std::strcmp(own, effect.nick) == 0) return;
  const bool mention = IsMentionOf(own, effect.nick, effect.text);
  m_host->MarkChannelPage(this, mention ? TabMark::kMention : TabMark::kNews);
  if (mention) FlashUntilFront(::GetAncestor(m_hWnd, GA_ROOT));
}
