// Every action a user can take in every state of the link, in the real
// velmo.dll in the host: what the server side reads, in order, and what the
// page shows. A click while the status image blinks must neither go out
// ahead of the login nor end the connect it came in; once the login went
// out, the pages' frames follow it.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>
#include <ostream>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "client_fixture.h"
#include "link/server_link.h"
#include "module_exports.h"
#include "plugin/module_api.h"
#include "tests/link/full_listener.h"
#include "tests/support/message_box_watch.h"
#include "tests/support/message_pump.h"
#include "tests/support/peer.h"
#include "ui/pages/channel_page_ids.h"
#include "ui/pages/manager_page_ids.h"

namespace {

using orla_server::Frame;

enum State { kIdle, kConnectPending, kLoginPending, kOnline, kDropped, kBackOnline };
enum Action { kToggle, kRefresh, kJoin, kEnter, kLeave };
const char* const kStateNames[] = {"Idle",   "ConnectPending", "LoginPending",
                                   "Online", "Dropped",        "BackOnline"};
const char* const kActionNames[] = {"Toggle", "Refresh", "Join", "Enter", "Leave"};

struct Row {
  State state;
  Action action;
  // What the server side reads from the moment the state is reached until
  // the user has disconnected.
  std::vector<Frame> frames;
  // See Screen().
  const char* screen;
};

std::string Name(const Row& row) {
  return std::string(kStateNames[row.state]) + kActionNames[row.action];
}
std::ostream& operator<<(std::ostream& out, const Row& row) { return out << Name(row); }

const Frame kLogin{2, "velmo quiet 0 \"Velmo v1.0\" 8"};
const Frame kListRequest{617, ""};

// The connecting states are reached by connecting again after a drop, so the
// channel rows and the #lobby page of that session are there (#dev selected).
// Idle has never been online: no channel row and no page exist there, so
// 参加, Enter and 退室する cannot be done. BackOnline is online again after a
// drop, #lobby selected: bob, who was there before the drop and is not now,
// must not come back with the join.
const Row kRows[] = {
    {kIdle, kToggle, {kLogin, kListRequest}, "g 切断, 2 rows"},
    {kIdle, kRefresh, {}, "r 接続, 0 rows, サーバに未接続です"},
    {kConnectPending, kToggle, {}, "r 接続, 2 rows, #lobby(velmo)"},
    {kConnectPending, kRefresh, {kLogin}, "b 切断, 2 rows, #lobby(velmo), サーバに未接続です"},
    {kConnectPending, kJoin, {kLogin}, "b 切断, 2 rows, #lobby(velmo), サーバに未接続です"},
    {kConnectPending, kEnter, {kLogin}, "b 切断, 2 rows, #lobby(velmo), typed hello, not sent"},
    {kConnectPending, kLeave, {kLogin}, "b 切断, 2 rows"},
    {kLoginPending, kToggle, {kLogin}, "r 接続, 2 rows, #lobby(velmo)"},
    {kLoginPending, kRefresh, {kLogin}, "b 切断, 2 rows, #lobby(velmo), サーバに未接続です"},
    {kLoginPending, kJoin, {kLogin}, "b 切断, 2 rows, #lobby(velmo), サーバに未接続です"},
    {kLoginPending, kEnter, {kLogin, {402, "#lobby hello"}}, "b 切断, 2 rows, #lobby(velmo)"},
    {kLoginPending, kLeave, {kLogin, {401, "#lobby"}}, "b 切断, 2 rows"},
    {kOnline, kToggle, {}, "r 接続, 2 rows, #lobby(velmo)"},
    {kOnline, kRefresh, {kListRequest}, "g 切断, 2 rows, #lobby(velmo)"},
    {kOnline, kJoin, {{400, "#dev"}}, "g 切断, 2 rows, #lobby(velmo), #dev(velmo)"},
    {kOnline, kEnter, {{402, "#lobby hello"}}, "g 切断, 2 rows, #lobby(velmo), echoed"},
    {kOnline, kLeave, {{401, "#lobby"}}, "g 切断, 2 rows"},
    // Back online, the open #lobby page joins its channel again by itself.
    {kDropped, kToggle, {kLogin, kListRequest, {400, "#lobby"}}, "g 切断, 2 rows, #lobby(velmo)"},
    {kDropped, kRefresh, {}, "r 接続, 2 rows, #lobby(velmo), サーバに未接続です"},
    {kDropped, kJoin, {}, "r 接続, 2 rows, #lobby(velmo), サーバに未接続です"},
    {kDropped, kEnter, {}, "r 接続, 2 rows, #lobby(velmo), typed hello, not sent"},
    {kDropped, kLeave, {}, "r 接続, 2 rows"},
    {kBackOnline, kJoin, {{400, "#lobby"}}, "g 切断, 2 rows, #lobby(velmo)"},
};

// What the server side has read, from the server's log of every frame or
// from a scripted listener, and how many of its connections are still open.
// Any thread.
class CWire {
 public:
  void Read(unsigned type, std::string payload) {
    std::lock_guard<std::mutex> guard(m_lock);
    m_frames.push_back({static_cast<std::uint16_t>(type), std::move(payload)});
  }
  void AddOpen(int change) {
    std::lock_guard<std::mutex> guard(m_lock);
    m_open += change;
  }
  // "peer sent [0005][0617] payload", "connect peer", "drop peer: reason".
  void FromServerLog(std::string_view line) {
    const std::size_t sent = line.find(" sent [");
    if (sent != std::string_view::npos)
      Read(std::stoul(std::string(line.substr(sent + 13, 4))), std::string(line.substr(sent + 19)));
    if (line.rfind("connect ", 0) == 0) AddOpen(1);
    if (line.rfind("drop ", 0) == 0) AddOpen(-1);
  }
  void Forget(bool connectionsToo) {
    std::lock_guard<std::mutex> guard(m_lock);
    m_frames.clear();
    if (connectionsToo) m_open = 0;
  }
  std::vector<Frame> Frames() {
    std::lock_guard<std::mutex> guard(m_lock);
    return m_frames;
  }
  int Open() {
    std::lock_guard<std::mutex> guard(m_lock);
    return m_open;
  }

 private:
  std::mutex m_lock;
  std::vector<Frame> m_frames;
  int m_open = 0;
};

class LinkStateActions : public ClientTest, public testing::WithParamInterface<Row> {
 protected:
  void SetUp() override {
    ClientTest::SetUp();
    config.verbose = true;
    config.log = [this](std::string_view line) { wire.FromServerLog(line); };
  }

  void Reach(State state) {
    StartServer();
    StartHost();
    Type(ManagerItem(IDC_MANAGER_ADDRESS), Address());
    Type(ManagerItem(IDC_MANAGER_NICKNAME), "velmo");
    if (state == kIdle) return;
    ConnectAs("velmo");
    if (state == kBackOnline) bob = Peer("bob", {"#lobby"});
    Join("#lobby");
    // The topic comes last: the user rows are in.
    const HWND topic = ::GetDlgItem(ChannelPage("#lobby"), IDC_CHANNEL_TOPIC);
    ASSERT_TRUE(PumpUntil([&] { return !WindowText(topic).empty(); }));
    ASSERT_TRUE(SelectChannelRow("#dev"));
    if (state == kOnline) return wire.Forget(false);
    server->Stop();
    ASSERT_TRUE(PumpUntil([&] { return Status() == 'r'; }));
    wire.Forget(true);  // a stopped server logs no drops
    StartServer();
    const HWND address = ManagerItem(IDC_MANAGER_ADDRESS);
    if (state == kDropped) return Type(address, Address());
    if (state == kBackOnline) {
      ConnectAs("velmo");
      ASSERT_TRUE(SelectChannelRow("#lobby"));
      return wire.Forget(false);
    }
    if (state == kConnectPending) {
      listener = std::make_unique<CFullListener>();
      Type(address, "127.0.0.1:" + std::to_string(listener->Port()));
      Click(ManagerItem(IDC_MANAGER_CONNECT));
      // The socket exists, so its connect is under way; the full queue never
      // answers it.
      CServerLink* link = ClientLink();
      ASSERT_NE(nullptr, link);
      ASSERT_TRUE(PumpUntil([&] { return link->Socket().IsOpen(); }));
      return;
    }
    // Reads whatever follows the login until the client closes, and holds
    // the reply: it comes a byte every 2 s, well inside the link's 10 s wait
    // for each piece, so the login stays pending however long the test takes.
    peer = std::make_unique<CScriptedPeer>([this](CPeerConnection& connection, int) {
      wire.AddOpen(1);
      std::atomic<bool> closed{false};
      std::thread drip([&] {
        const std::string reply = FrameBytes(3, std::string(1000, 'x'));
        for (std::size_t i = 0; i < reply.size() && !closed; ++i) {
          if (!connection.Send(reply.substr(i, 1))) break;
          for (int slice = 0; slice < 20 && !closed; ++slice)
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
      });
      unsigned type = 0;
      std::string payload;
      while (connection.ReadFrame(&type, &payload)) wire.Read(type, payload);
      closed = true;
      drip.join();
      wire.AddOpen(-1);
    });
    Type(address, peer->Address());
    Click(ManagerItem(IDC_MANAGER_CONNECT));
    // The login went out and the connection takes the pages' frames.
    CServerLink* link = ClientLink();
    ASSERT_NE(nullptr, link);
    ASSERT_TRUE(PumpUntil([&] { return link->Socket().IsOpenToAnyThread(); }));
  }

  // velmo.dll's link, as its export gives it.
  static CServerLink* ClientLink() {
    const auto getLink = FindGetServerLink(::GetModuleHandleA("velmo.dll"));
    return getLink != nullptr ? getLink() : nullptr;
  }

  void Do(Action action) {
    switch (action) {
      case kToggle:
        return Click(ManagerItem(IDC_MANAGER_CONNECT));
      case kRefresh:
        return Click(ManagerItem(IDC_MANAGER_REFRESH));
      case kJoin:
        return Click(ManagerItem(IDC_MANAGER_JOIN));
      case kEnter:
        return Say("#lobby", "hello");
      case kLeave:
        return Click(::GetDlgItem(ChannelPage("#lobby"), IDC_CHANNEL_LEAVE));
    }
  }

  // 'r' offline, 'b' connecting (the two images blink), 'g' online.
  char Status() const {
    const char colour = StatusColour(ManagerItem(IDC_MANAGER_STATUS));
    return colour == 'k' || colour == 'y' ? 'b' : colour;
  }

  // The status image, the toggle's text, the channel rows, the channel pages
  // with their user rows; the #lobby page's input line when it holds text,
  // "echoed" when it shows our own line come back from the server and "not
  // sent" when it says a line could not go; the text of each message box.
  std::string Screen(const CMessageBoxWatch& boxes) const {
    std::string screen = std::string(1, Status()) + " " +
                         WindowText(ManagerItem(IDC_MANAGER_CONNECT)) + ", " +
                         std::to_string(ListRowCount(ManagerItem(IDC_MANAGER_CHANNELS))) + " rows";
    for (const char* channel : {"#lobby", "#dev"}) {
      if (ChannelPage(channel) == nullptr) continue;
      std::string users;
      for (const std::string& row : ListRows(::GetDlgItem(ChannelPage(channel), IDC_CHANNEL_USERS)))
        users += (users.empty() ? "" : " ") + row.substr(0, row.find('|'));
      screen += std::string(", ") + channel + "(" + users + ")";
    }
    const HWND lobby = ChannelPage("#lobby");
    const std::string typed = WindowText(::GetDlgItem(lobby, IDC_CHANNEL_INPUT));
    const std::string chat = WindowText(::GetDlgItem(lobby, IDC_CHANNEL_CONSOLE));
    if (!typed.empty()) screen += ", typed " + typed;
    if (chat.find("<velmo> hello") != std::string::npos) screen += ", echoed";
    if (chat.find("サーバに未接続のため発言を送信できませんでした") != std::string::npos)
      screen += ", not sent";
    for (const std::string& text : boxes.Texts()) screen += ", " + text;
    return screen;
  }

  // Makes room in the full queue and reads the first frame of the connect
  // that then gets through, serving the client's messages meanwhile.
  void LetTheConnectThrough() {
    std::atomic<bool> done{false};
    std::thread reader([&] {
      unsigned type = 0;
      std::string payload;
      if (listener->FirstFrameOfTheNextConnect(&type, &payload)) wire.Read(type, payload);
      done = true;
    });
    PumpUntil([&] { return done.load(); });
    reader.join();
  }

  CWire wire;
  std::unique_ptr<CFullListener> listener;
  std::unique_ptr<CScriptedPeer> peer;  // after wire: its script writes there
  std::unique_ptr<orla_server::TestClient> bob;
};

TEST_P(LinkStateActions, WhatTheServerReadsAndThePageShows) {
  const Row& row = GetParam();
  Reach(row.state);
  if (HasFatalFailure()) return;
  CMessageBoxWatch boxes;
  Do(row.action);
  EXPECT_TRUE(PumpUntil([&] { return Screen(boxes) == row.screen; }));
  EXPECT_EQ(row.screen, Screen(boxes));

  // The user disconnects; the server side has then read all it will.
  const HWND toggle = ManagerItem(IDC_MANAGER_CONNECT);
  if (::SendMessageA(toggle, BM_GETCHECK, 0, 0) == BST_CHECKED) {
    if (listener) LetTheConnectThrough();
    EXPECT_THAT(WindowText(ManagerItem(IDC_MANAGER_SERVER_LOG)),
                testing::Not(testing::HasSubstr("Connect 失敗")))
        << "the action ended the attempt";
    Click(toggle);
  }
  EXPECT_TRUE(PumpUntil([&] { return Status() == 'r' && wire.Open() == 0; }));
  EXPECT_EQ(row.frames, wire.Frames());
}

INSTANTIATE_TEST_SUITE_P(EveryUserActionInEveryLinkState, LinkStateActions,
                         testing::ValuesIn(kRows),
                         [](const testing::TestParamInfo<Row>& info) { return Name(info.param); });

}  // namespace
