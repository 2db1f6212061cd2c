// The manager page through the real link: the window event target's Stop
// while the worker waits in an event or in a console line, and one session
// against the real orla-server started in this process (connect with the
// toggle, channel list and MOTD, refresh, join, disconnect).
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "link/link_event.h"
#include "link/message_catalogue.h"
#include "server/server.h"
#include "tests/support/manager_scene.h"
#include "tests/support/peer.h"
#include "ui/core/manager_rules.h"

using Strings = std::vector<std::string>;

namespace {

// Waits, without serving anything, until another thread has sent this
// thread a message that it now waits in.
bool WaitForSentMessage(int timeoutMs) {
  for (int waited = 0; waited < timeoutMs; ++waited) {
    if (HIWORD(::GetQueueStatus(QS_SENDMESSAGE)) & QS_SENDMESSAGE) return true;
    ::Sleep(1);
  }
  return false;
}

const UINT kPostedProbe = WM_APP + 77;

}  // namespace

TEST(WindowLinkTarget, StopServesAWorkerWaitingInAnEventAndLeavesPostedMessages) {
  CScriptedPeer peer([](CPeerConnection& connection, int) { AcceptLogin(connection); });
  CServerLink link;
  CManagerScene scene(&link);
  ASSERT_EQ(1, link.Start(&scene.Host().target, peer.Address(), "nick"));
  // The worker now waits in LinkConnecting: nothing here serves it.
  ASSERT_TRUE(WaitForSentMessage(kHangBoundMs));
  ::PostMessageA(scene.Page().m_hWnd, kPostedProbe, 5, 0);
  ::PostQuitMessage(7);

  EXPECT_EQ(1, link.Stop());
  EXPECT_EQ(0, link.IsRunning());
  // The events went through inside Stop: connecting, then given up.
  EXPECT_EQ(kImageOffline, scene.ShownImage());
  EXPECT_TRUE(scene.EditsEnabled());

  // The posted message and the quit request wait for the host's own loop.
  MSG msg;
  ASSERT_TRUE(::PeekMessageA(&msg, nullptr, kPostedProbe, kPostedProbe, PM_REMOVE));
  EXPECT_EQ(5u, msg.wParam);
  ASSERT_TRUE(::PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(7u, msg.wParam);
}

TEST(WindowLinkTarget, StopServesAWorkerWaitingInAConsoleLine) {
  for (const bool withTarget : {true, false}) {
    // A refused login: the worker writes its reply line to the console.
    CScriptedPeer peer([](CPeerConnection& connection, int) {
      unsigned type = 0;
      std::string payload;
      if (connection.ReadFrame(&type, &payload)) connection.Send(FrameBytes(5, "no"));
      connection.WaitForClose();
    });
    CServerLink link;
    CManagerScene scene(&link);
    ASSERT_EQ(
        1, link.Start(withTarget ? static_cast<ILinkEventTarget*>(&scene.Host().target) : nullptr,
                      peer.Address(), "nick"));
    if (withTarget) {
      // Let LinkConnecting through, then wait for the line.
      ASSERT_TRUE(WaitForSentMessage(kHangBoundMs));
      ServeSentMessages();
    }
    ASSERT_TRUE(WaitForSentMessage(kHangBoundMs)) << withTarget;
    EXPECT_EQ(1, link.Stop()) << withTarget;
    EXPECT_EQ(0, link.IsRunning());
    // The line the worker waited in is in the console, whole.
    EXPECT_EQ(0u, scene.Console().find("Recv: [0002][0005] no\r\n")) << scene.Console();
  }
}

namespace {

class ManagerSession : public testing::Test {
 protected:
  void SetUp() override {
    orla_server::ServerConfig config;
    config.motd = {"ようこそ Orla へ", "rules: be kind"};
    config.channels = {{"lobby", "Welcome all"}, {"雑談", "日本語 で どうぞ"}, {"50%s", ""}};
    server = std::make_unique<orla_server::Server>(config);
    std::string error;
    ASSERT_TRUE(server->Start(&error)) << error;
  }

  std::unique_ptr<orla_server::Server> server;
};

}  // namespace

TEST_F(ManagerSession, ConnectListRefreshJoinAndDisconnectAgainstTheServer) {
  CServerLink link;
  CManagerScene scene(&link);
  scene.SetText(IDC_MANAGER_ADDRESS, "127.0.0.1:" + std::to_string(server->Port()));
  scene.SetText(IDC_MANAGER_NICKNAME, "tester");
  scene.Click(IDC_MANAGER_CONNECT);
  EXPECT_EQ("切断", scene.ToggleText());

  ASSERT_TRUE(PumpUntil(kHangBoundMs, [&] { return scene.ShownImage() == kImageOnline; }));
  EXPECT_FALSE(scene.EditsEnabled());
  // In the server's order, which the unsorted list keeps.
  const Strings rows = {"50%s|0|", "lobby|0|Welcome all", "雑談|0|日本語 で どうぞ"};
  const HWND list = scene.Item(IDC_MANAGER_CHANNELS);
  ASSERT_TRUE(PumpUntil(kHangBoundMs, [&] { return ListRowCount(list) >= 3; }));
  EXPECT_EQ(rows, scene.Rows());
  const std::string console = scene.Console();
  const std::string motd = "[Motd] ようこそ Orla へ\r\n[Motd] rules: be kind\r\n";
  const std::size_t at = console.find(motd);
  ASSERT_NE(std::string::npos, at) << console;
  // The MOTD lines in green, after the login reply's line.
  CHARRANGE range = {0, 0};
  HWND log = scene.Item(IDC_MANAGER_SERVER_LOG);
  range.cpMin = static_cast<LONG>(
      ::MultiByteToWideChar(CP_ACP, 0, console.data(), static_cast<int>(at), nullptr, 0));
  range.cpMax = range.cpMin + ::MultiByteToWideChar(CP_ACP, 0, motd.data(),
                                                    static_cast<int>(motd.size()), nullptr, 0);
  ::SendMessageA(log, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
  CHARFORMATA format = {};
  format.cbSize = sizeof(format);
  ::SendMessageA(log, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
  EXPECT_TRUE(format.dwMask & CFM_COLOR);
  EXPECT_EQ(RGB(0, 255, 0), format.crTextColor);

  // Refresh: the list is emptied and rebuilt from the server's answer.
  scene.Page().m_channelList.DeleteItem(0);
  scene.Click(IDC_MANAGER_REFRESH);
  ASSERT_TRUE(PumpUntil(kHangBoundMs, [&] { return ListRowCount(list) >= 3; }));
  EXPECT_EQ(rows, scene.Rows());

  // Join: the server's confirmation reaches the page host's seam.
  scene.SelectRow(0);
  scene.Click(IDC_MANAGER_JOIN);
  ASSERT_TRUE(PumpUntil(kHangBoundMs, [&] { return !scene.Host().opened.empty(); }));
  EXPECT_EQ(Strings{"50%s"}, scene.Host().opened);

  // Disconnect.
  scene.Click(IDC_MANAGER_CONNECT);
  EXPECT_EQ(0, link.IsRunning());
  EXPECT_TRUE(PumpUntil(kHangBoundMs, [&] { return scene.ShownImage() == kImageOffline; }));
  EXPECT_EQ("接続", scene.ToggleText());
  EXPECT_FALSE(scene.ToggleChecked());
  EXPECT_TRUE(scene.EditsEnabled());
}
