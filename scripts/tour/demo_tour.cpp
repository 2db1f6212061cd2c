// The demo's scripted tour: from a process of its own it drives the client
// in a running palaver.exe the way a person would (texts typed into the
// edits, clicks on buttons and tabs, Enter in an input box) and stops at
// four sights for a screenshot:
//   online   the manager page connected: message of the day, channel list
//   channel  the first channel, with the demo users' lines and one of ours
//            (with a web link, shown as one)
//   tabs     every channel joined, two rows of tabs, hidden channels with
//            news marked
//   marker   back in the first channel: a grey line above the lines that
//            came while its tab was hidden
// At each sight it prints "ready NAME LEFT TOP WIDTH HEIGHT" (the host
// window's place on the screen) and waits for the file NAME.done in the
// shots folder, which the demo script makes once the picture is taken.
// Finally it closes the host as its user would.
//
//   demo_tour.exe ADDRESS NICKNAME SHOTS_FOLDER CHANNEL...
//
// The driving itself, and its time limits, are remote_client.h's.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "remote_client.h"

namespace {

const char kOurLine[] = "hello from Velmo! こんにちは https://example.org/velmo";

// Lets the demo script take its picture of the host window.
void Sight(HWND host, const std::string& shots, const char* name) {
  // The round trip lets the client finish what it was doing; the pause
  // lets the X server show the repainted windows.
  SendToClient(host, WM_NULL);
  ::Sleep(500);
  RECT place;
  ::GetWindowRect(host, &place);
  std::printf("ready %s %ld %ld %ld %ld\n", name, place.left, place.top, place.right - place.left,
              place.bottom - place.top);
  std::fflush(stdout);
  const std::string done = shots + "\\" + name + ".done";
  WaitFor(std::string("the screenshot ") + name, CRemoteClient::kWindowLimitMs,
          [&] { return ::GetFileAttributesA(done.c_str()) != INVALID_FILE_ATTRIBUTES; });
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 5) {
    std::fprintf(stderr, "usage: demo_tour ADDRESS NICKNAME SHOTS_FOLDER CHANNEL...\n");
    return 2;
  }
  const std::vector<std::string> channels(argv + 4, argv + argc);
  const std::string shots = argv[3];
  CRemoteClient client;
  client.FindClient();
  client.Connect(argv[1], argv[2], channels);
  Sight(client.MainWindow(), shots, "online");
  std::vector<HWND> pages = {client.Join(channels.front())};
  client.Listen(pages.front(), 6);
  client.Say(pages.front(), kOurLine);
  Sight(client.MainWindow(), shots, "channel");
  for (std::size_t i = 1; i < channels.size(); ++i) pages.push_back(client.Join(channels[i]));
  // Tab 0 is the manager page: tab 2 shows the second channel.
  client.ClickTab(2);
  if (pages.size() > 1) client.Listen(pages[1], 5);
  // The demo users talk in the other channels too; the picture waits for
  // one of the hidden tabs to show it.
  WaitFor("a hidden tab marked", CRemoteClient::kWindowLimitMs, [&] {
    for (std::size_t tab = 1; tab <= pages.size(); ++tab)
      if (tab != 2 && client.TabMarked(static_cast<int>(tab))) return true;
    return false;
  });
  Sight(client.MainWindow(), shots, "tabs");
  // The first channel seen once more and left again, so that the few lines
  // that come while it is away put the marker in view when it comes back.
  client.ClickTab(1);
  client.ClickTab(2);
  client.Listen(pages.front(), 2);
  client.ClickTab(1);
  Sight(client.MainWindow(), shots, "marker");
  client.CloseHost();
  std::printf("tour done\n");
  return 0;
}
