// The package test's user: from a process of its own it drives palaver.exe
// as unzipped from the download, against orla-server.exe from the same
// download, and a second client on the wire is the peer it chats with.
//
//   package_driver.exe PORT CHANNEL
//
// PORT is where the server listens on 127.0.0.1; CHANNEL is one of its
// channels that the demo users stay out of, so every line there is ours or
// the peer's.
#include <gtest/gtest.h>
#include <winsock2.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "scripts/tour/remote_client.h"
#include "tests/support/test_client.h"

namespace {

std::uint16_t g_port = 0;
std::string g_channel;

bool Has(const std::vector<std::string>& names, const std::string& name) {
  return std::find(names.begin(), names.end(), name) != names.end();
}

}  // namespace

TEST(Package, AUserConnectsJoinsAndChatsWithAPeer) {
  const std::string nickname = "velmo-user";
  const std::string line = "こんにちは from the download";
  orla_server::TestClient peer(g_port);
  ASSERT_TRUE(peer.IsConnected());
  peer.Login("peer", 0);
  peer.Send(400, g_channel);
  ASSERT_TRUE(peer.WaitFor({408, g_channel + " peer 0 8"}));

  CRemoteClient client;
  client.FindClient();
  // The demo's own channels in the list show the server's answer came through.
  client.Connect("127.0.0.1:" + std::to_string(g_port), nickname, {g_channel, "雑談", "lobby"});
  const HWND page = client.Join(g_channel);
  WaitFor("the peer and the user in the channel's user list", CRemoteClient::kWindowLimitMs, [&] {
    const std::vector<std::string> users = client.Users(page);
    return Has(users, "peer") && Has(users, nickname);
  });

  client.Say(page, line);
  EXPECT_TRUE(peer.WaitFor({403, g_channel + " " + nickname + " " + line}));

  // Counted before the peer speaks: its line may be in before a count after.
  const int lines = client.ConsoleLines(page);
  peer.Send(402, g_channel + " welcome!");
  client.WaitForConsoleLines(page, lines + 1);

  client.CloseHost();
}

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  if (argc != 3) {
    std::fprintf(stderr, "usage: package_driver PORT CHANNEL\n");
    return 2;
  }
  g_port = static_cast<std::uint16_t>(std::atoi(argv[1]));
  g_channel = argv[2];
  WSADATA data;
  if (::WSAStartup(MAKEWORD(2, 2), &data) != 0) return 2;
  const int result = RUN_ALL_TESTS();
  ::WSACleanup();
  return result;
}
