// A page across a dropped connection (CChannelPage members): when the link
// goes, every page says so; when it is back, a channel page joins its
// channel again, and the confirmation of that join (which empties the user
// list for the entries that follow) leaves the shown tab where the user has
// it. See channel_page.h.
#include "link/link_event.h"
#include "link/message_catalogue.h"
#include "ui/core/colours.h"
#include "ui/pages/channel_page.h"
#include "ui/pages/channel_page_host.h"

namespace {

const char kLinkDroppedLine[] = "サーバーとの接続が切れました\r\n";

}  // namespace

void CChannelPage::OnLinkStateChange(WPARAM code) {
  if (code == LinkOffline) {
    m_rejoining = false;
    m_dropped = true;
    AppendConsole(kCyan, kLinkDroppedLine);
  } else if (code == LinkOnline && m_dropped && m_kind == PageKind::kChannel) {
    // Only a page whose channel the drop took: one opened while offline was
    // never in it. Sent while the worker still waits in this event, so the
    // join is on the wire before the receive loop starts, after the manager
    // page's channel list request.
    m_dropped = false;
    m_rejoining = SendJoin(m_host->GetServerLink(), m_channelName) != 0;
  }
}

bool CChannelPage::TakeRejoin() {
  const bool rejoining = m_rejoining;
  m_rejoining = false;
  return rejoining;
}
