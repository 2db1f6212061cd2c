// The screenshot scene of the manager page (docs/manager-page.png): the page
// in a borderless window at the screen's top-left corner, connected with its
// toggle to an Orla server started in this process as `orla-server --demo`
// would run (the demo cast, its message of the day and channels), online,
// with the MOTD in the server console and the channel list filled. It stays
// up for the given number of seconds while the screen is captured from
// outside, on the Wine session's X display:
//
//   scripts/wine-run.sh build/<dir>/wine build/<dir>/tests/ui/manager_page_scene.exe 8 &
//   sleep 6
//   DISPLAY=$(cat build/<dir>/wine/display) import -window root -crop 660x560+0+0
//   docs/manager-page.png
#include <winsock2.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "link/server_link.h"
#include "manager_page_fixture.h"
#include "server/demo.h"
#include "server/server.h"
#include "ui/manager_rules.h"

CWinApp theApp("VelmoManagerScene");

int main(int argc, char** argv) {
  const int seconds = argc > 1 ? std::atoi(argv[1]) : 8;
  WSADATA data;
  if (::WSAStartup(MAKEWORD(2, 2), &data) != 0) return 2;
  INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
  ::InitCommonControlsEx(&controls);
  if (::LoadLibraryA("riched32.dll") == nullptr) return 3;

  orla_server::ServerConfig config;
  config.demo = true;
  config.motd = orla_server::DemoCast::Motd();
  orla_server::Server server(config);
  std::string error;
  if (!server.Start(&error)) {
    std::fprintf(stderr, "server: %s\n", error.c_str());
    return 4;
  }

  const int width = 660;
  const int height = 560;
  HWND frame = ::CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, width, height,
                                 nullptr, nullptr, ::GetModuleHandleA(nullptr), nullptr);
  CServerLink link;
  CTestManagerHost host(&link);
  CManagerPage page(&host);
  page.Create(CManagerPage::IDD, CWnd::FromHandle(frame));
  host.target.SetWindow(page.m_hWnd);
  link.SetLogSink(page.GetLogSink());
  page.SetWindowPos(nullptr, 0, 0, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
  page.ShowWindow(SW_SHOW);

  ::SetDlgItemTextA(page.m_hWnd, IDC_MANAGER_ADDRESS,
                    ("127.0.0.1:" + std::to_string(server.Port())).c_str());
  ::SendDlgItemMessageA(page.m_hWnd, IDC_MANAGER_CONNECT, BM_CLICK, 0, 0);
  const bool online = PumpUntil(10000, [&] { return link.IsOnline() != 0; }) &&
                      PumpUntil(10000, [&] { return page.m_channelList.GetItemCount() > 0; });
  if (!online) std::fprintf(stderr, "the page did not come online with a channel list\n");
  PumpFor(seconds * 1000);

  link.Stop();
  link.SetLogSink(nullptr);
  ::DestroyWindow(frame);
  server.Stop();
  ::WSACleanup();
  return online ? 0 : 1;
}
