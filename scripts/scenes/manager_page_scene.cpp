// The screenshot scene of the manager page (docs/manager-page.png): the page
// in a borderless window at the screen's top-left corner, connected with its
// toggle to an Orla server started in this process as `orla-server --demo`
// would run (the demo cast, its message of the day and channels), online,
// with the MOTD in the server console and the channel list filled. It stays
// up for the given number of seconds while the screen is captured from
// outside, on the Wine session's X display:
//
//   scripts/wine-run.sh build/<dir>/wine build/<dir>/scripts/scenes/manager_page_scene.exe 8 &
//   sleep 6
//   DISPLAY=$(cat build/<dir>/wine/display) import -window root -crop 660x560+0+0
//   docs/manager-page.png
#include <winsock2.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "link/server_link.h"
#include "server/demo.h"
#include "server/server.h"
#include "tests/support/manager_scene.h"
#include "tests/support/plugin_environment.h"
#include "ui/core/manager_rules.h"

CWinApp theApp("VelmoManagerScene");

namespace {

// Runs the scene for seconds; the program's exit code.
int ShowScene(int seconds) {
  orla_server::ServerConfig config;
  config.demo = true;
  config.motd = orla_server::DemoCast::Motd();
  orla_server::Server server(config);
  std::string error;
  if (!server.Start(&error)) {
    std::fprintf(stderr, "server: %s\n", error.c_str());
    return 4;
  }
  CServerLink link;
  CManagerScene scene(&link, 660, 560, WS_POPUP);
  scene.SetText(IDC_MANAGER_ADDRESS, "127.0.0.1:" + std::to_string(server.Port()));
  scene.Click(IDC_MANAGER_CONNECT);
  const bool online = PumpUntil(10000, [&] { return link.IsOnline() != 0; }) &&
                      PumpUntil(10000, [&] { return !scene.Rows().empty(); });
  if (!online) std::fprintf(stderr, "the page did not come online with a channel list\n");
  PumpFor(seconds * 1000);
  return online ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  const int seconds = argc > 1 ? std::atoi(argv[1]) : 8;
  if (!StartPluginEnvironment()) return 2;
  const int result = ShowScene(seconds);
  StopPluginEnvironment();
  return result;
}
