// The screenshot scene of the tab bar (docs/tab-bar.png): a borderless
// window at the screen's top-left corner with the page host's top line, a
// tab bar of six tabs in two rows (Japanese and ASCII labels, one too long
// for its tab, tab 1 selected) and the second line below it. It stays up for
// the given number of seconds while the screen is captured from outside, on
// the Wine session's X display:
//
//   scripts/wine-run.sh build/<dir>/wine build/<dir>/scripts/scenes/tab_bar_scene.exe 6 &
//   sleep 4
//   DISPLAY=$(cat build/<dir>/wine/display) import -window root -crop 640x56+0+0 docs/tab-bar.png
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "framework/afxwin.h"
#include "res/image_ids.h"
#include "ui/host/tab_bar.h"

CWinApp theApp("VelmoTabBarScene");

namespace {

const int kWidth = 640;
const int kHeight = 56;
const int kBarX = 6;
const int kBarY = 3;

HWND CreateChild(HWND parent, DWORD style, int x, int y, int width, int height) {
  return ::CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE | style, x, y, width, height,
                           parent, nullptr, ::GetModuleHandleA(nullptr), nullptr);
}

}  // namespace

int main(int argc, char** argv) {
  const int seconds = argc > 1 ? std::atoi(argv[1]) : 6;
  HWND window = ::CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, kWidth, kHeight,
                                  nullptr, nullptr, ::GetModuleHandleA(nullptr), nullptr);
  CreateChild(window, SS_SUNKEN, 0, 0, kWidth, 2);
  CTabBar bar;
  if (!bar.SubclassWindow(CreateChild(window, SS_NOTIFY, kBarX, kBarY, 400, 20)) ||
      !bar.LoadTabBitmap(IDB_TAB_FACES)) {
    std::fprintf(stderr, "tab bar set-up failed\n");
    return 1;
  }
  const char* const labels[] = {"Orlaネットワーク", "#雑談",  "#general",
                                "#アニメ実況",      "#music", "#とても長いチャンネル名のタブ"};
  for (const char* label : labels) bar.AddTab(label, nullptr);
  bar.SetCurSel(1);
  RECT rect;
  ::GetWindowRect(bar.m_hWnd, &rect);
  CreateChild(window, SS_SUNKEN, 0, kBarY + (rect.bottom - rect.top) + 1, kWidth, 2);

  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  while (std::chrono::steady_clock::now() < end) {
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageA(&msg);
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
  }
  ::DestroyWindow(window);
  return 0;
}
