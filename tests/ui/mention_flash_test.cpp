// A chat or action line naming the user, and a private message, flash the
// window the host shows (here the test's top-level window) while another
// window is in front; the user's own lines, lines without the name and lines
// while the window is in front do not. The flash is seen where it lands: the window's caption is
// toggled with WM_NCACTIVATE.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "link/message_catalogue.h"
#include "tests/support/peer.h"
#include "tests/support/sent_message_log.h"
#include "tests/support/ui_test_support.h"

namespace {

struct MentionCase {
  const char* name;
  unsigned type;
  std::string payload;
  bool inFront;  // the test's window is the foreground window
  bool flashes;
  std::string shown;  // the console's text afterwards
  PageKind kind = PageKind::kChannel;  // of "#c", or of "bob" for a private page
};

void PrintTo(const MentionCase& c, std::ostream* os) { *os << c.name; }

const MentionCase kMentionCases[] = {
    {"a chat line naming the user", MsgChannelText, "#c bob hi VELMO!", false, true,
     "<bob> hi VELMO!\r\n"},
    {"an action naming the user", MsgAction, "#c bob \"waves at velmo\"", false, true,
     "bob waves at velmo\r\n"},
    {"a double-byte neighbour", MsgChannelText, "#c bob Velmoさん", false, true,
     "<bob> Velmoさん\r\n"},
    {"the user's own line", MsgChannelText, "#c Velmo I am Velmo", false, false,
     "<Velmo> I am Velmo\r\n"},
    {"a longer word", MsgChannelText, "#c bob Velmos", false, false, "<bob> Velmos\r\n"},
    {"a notice naming the user", MsgChannelNotice, "#c Velmo", false, false, "\r\nVelmo\r\n\r\n"},
    {"another channel's line", MsgChannelText, "#d bob hi Velmo", false, false, ""},
    {"the window in front", MsgChannelText, "#c bob hi Velmo", true, false, "<bob> hi Velmo\r\n"},
    {"a private message", MsgPrivateMessage, "bob hi", false, true, "<bob> hi\r\n",
     PageKind::kPrivate},
    {"a private message in front", MsgPrivateMessage, "bob hi", true, false, "<bob> hi\r\n",
     PageKind::kPrivate},
    {"a private message for another person", MsgPrivateMessage, "bobby hi", false, false, "",
     PageKind::kPrivate},
};

class MentionFlash : public testing::TestWithParam<MentionCase> {
 protected:
  void SetUp() override {
    ASSERT_EQ(1, link.Start(nullptr, peer.Address(), "Velmo"));
    const bool isPrivate = GetParam().kind == PageKind::kPrivate;
    page =
        OpenTestPage(&host, window.Handle(), isPrivate ? "bob" : "#c", 600, 360, GetParam().kind);
  }
  void TearDown() override { window.Destroy(); }

  CScriptedPeer peer{[](CPeerConnection& connection, int) {
    AcceptLogin(connection);
    unsigned type = 0;
    std::string payload;
    while (connection.ReadFrame(&type, &payload)) {
    }
  }};
  CServerLink link;
  CTestPageHost host{&link};
  CTestWindow other{200, 100};
  CTestWindow window;
  CChannelPage* page = nullptr;
};

TEST_P(MentionFlash, ALineNamingTheUserFlashesTheWindowBehind) {
  const MentionCase& c = GetParam();
  ASSERT_NE(nullptr, page);
  const HWND front = c.inFront ? window.Handle() : other.Handle();
  ::SetForegroundWindow(front);
  PumpPending();
  ASSERT_EQ(front, ::GetForegroundWindow());

  CSentMessageLog captionToggles(WM_NCACTIVATE);
  DeliverMessage(page, c.type, c.payload);
  captionToggles.Stop();

  EXPECT_EQ(c.flashes, captionToggles.CountFor(window.Handle()) > 0);
  EXPECT_EQ(0, captionToggles.CountFor(other.Handle()));
  EXPECT_EQ(c.shown, WindowText(::GetDlgItem(page->m_hWnd, IDC_CHANNEL_CONSOLE)))
      << "the line looks as any other";
}

INSTANTIATE_TEST_SUITE_P(Table, MentionFlash, testing::ValuesIn(kMentionCases));

}  // namespace
