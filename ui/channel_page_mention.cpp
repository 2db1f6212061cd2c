// The channel page's mention check: a line naming the user draws attention
// to the host's main window. See channel_page.h.
#include "link/message_catalogue.h"
#include "link/server_link.h"
#include "ui/channel_messages.h"
#include "ui/channel_page.h"
#include "ui/channel_page_host.h"
#include "ui/nick_text.h"

namespace {

// Flashes window until the user brings it to the front; one in front already
// needs no flash.
void FlashUntilFront(HWND window) {
  if (window == nullptr || window == ::GetForegroundWindow()) return;
  FLASHWINFO info = {sizeof(info), window, FLASHW_ALL | FLASHW_TIMERNOFG, 0, 0};
  ::FlashWindowEx(&info);
}

}  // namespace

void CChannelPage::NoticeMention(unsigned type, const ChannelMessageEffect& effect) {
  if (type != MsgChannelText && type != MsgAction) return;
  const CServerLink* link = m_host->GetServerLink();
  if (link == nullptr) return;
  if (IsMentionOf(link->Nickname().c_str(), effect.nick, effect.text))
    FlashUntilFront(::GetAncestor(m_hWnd, GA_ROOT));
}
