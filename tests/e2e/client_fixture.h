// The whole product in one test process: this program is palaver.exe (the
// host's code linked in, so velmo.dll's imports resolve to it), it loads the
// real velmo.dll from beside itself, an orla_server::Server runs on a thread
// on an ephemeral loopback port, and second clients are scripted sockets on
// the wire. The test drives the client's windows the way a person does:
// texts typed into edits, clicks on buttons and tabs, Enter in an input box,
// with the host's own message pump running in between.
//
// Threads: everything here runs on the test's thread, which is the host's
// user-interface thread; the server and the link's worker run their own.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/afxwin.h"
#include "palaver_app.h"
#include "server/server.h"
#include "tests/support/control_reading.h"
#include "tests/support/test_client.h"

// The host application of this program.
extern CPalaverApp theApp;

class ClientTest : public testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // The server with config's channels and message of the day.
  void StartServer();
  std::string Address() const;
  // The host with a plug-in from beside this program loaded and started.
  void StartHost(const char* plugin = "velmo.dll");
  // Ends the host as its user does: the main window closes, the windows go.
  void CloseHost();

  // Pumps the host's messages until done() holds (10 s guard).
  bool PumpUntil(const std::function<bool()>& done);
  // Pumps until the console's text holds text. The text is read back only
  // when the console's line count has changed, not on every turn.
  bool ConsoleShows(HWND console, const std::string& text);

  HWND Frame() const;
  HWND PageHost() const;
  HWND ManagerPage() const;
  HWND ManagerItem(int id) const { return ::GetDlgItem(ManagerPage(), id); }
  HWND TabBar() const;
  HWND WindowList() const;
  // The channel page of the channel (by its tab), or null.
  HWND ChannelPage(const std::string& channel) const;
  // The channel pages, in no particular order.
  std::vector<HWND> ChannelPages() const;
  // The private page of the person (by its tab), or null.
  HWND PrivatePage(const std::string& nick) const;
  // The page that is visible in the page host, or null.
  HWND VisiblePage() const;

  void Type(HWND edit, const std::string& text);
  void Click(HWND button);
  void ClickTab(int index);
  // Types the line into the channel's input box and presses Enter.
  void Say(const std::string& channel, const std::string& line);
  // The same in a page of any kind.
  void Say(HWND page, const std::string& line);
  // Connects with the toggle and waits until the channel list has arrived.
  void ConnectAs(const std::string& nickname);
  // Selects the channel's row in the manager page's list; false when the
  // list has no such row.
  bool SelectChannelRow(const std::string& channel);
  // Selects the channel's row, presses Join and waits for its page.
  void Join(const std::string& channel);
  // A second client, logged in, in the channels.
  std::unique_ptr<orla_server::TestClient> Peer(const std::string& nickname,
                                                const std::vector<std::string>& channels);

  orla_server::ServerConfig config;
  std::unique_ptr<orla_server::Server> server;
};

// velmo.dll beside this program.
std::string VelmoPath();
// The colour of the bitmap a static control shows: 'r', 'g', 'y'
// (red, green, yellow), 'k' for grey, '?' for none.
char StatusColour(HWND statusImage);
