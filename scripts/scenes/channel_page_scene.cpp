// Builds the screenshot scene of a channel page: a scripted peer logs the
// link in and sends a topic, users with speeds, chat in Japanese and English,
// an action, a notice and one line of unsafe rich text; the page shows them
// through the real link. The window is then captured from the screen into a
// BMP file.
//
//   scripts/wine-run.sh build/<dir>/wine build/<dir>/scripts/scenes/channel_page_scene.exe OUT.bmp
//   convert OUT.bmp docs/channel-page.png
#include <winsock2.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

#include "tests/support/peer.h"
#include "tests/support/plugin_environment.h"
#include "tests/support/ui_test_support.h"

CWinApp theApp("VelmoScene");

namespace {

const char kChannel[] = "#雑談";

void Say(CPeerConnection& connection, unsigned type, const std::string& rest) {
  connection.Send(FrameBytes(type, std::string(kChannel) + " " + rest));
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
}

bool SaveWindowBitmap(HWND window, const char* path) {
  RECT rect;
  ::GetWindowRect(window, &rect);
  const int width = rect.right - rect.left;
  const int height = rect.bottom - rect.top;
  HDC screen = ::GetDC(nullptr);
  HDC memory = ::CreateCompatibleDC(screen);
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = ::CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = ::SelectObject(memory, bitmap);
  ::BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
  ::SelectObject(memory, old);
  const DWORD rowBytes = ((static_cast<DWORD>(width) * 3 + 3) / 4) * 4;
  const DWORD imageBytes = rowBytes * static_cast<DWORD>(height);
  BITMAPFILEHEADER file = {};
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof(file) + sizeof(info.bmiHeader);
  file.bfSize = file.bfOffBits + imageBytes;
  bool ok = false;
  if (FILE* out = std::fopen(path, "wb")) {
    ok = std::fwrite(&file, sizeof(file), 1, out) == 1 &&
         std::fwrite(&info.bmiHeader, sizeof(info.bmiHeader), 1, out) == 1 &&
         std::fwrite(bits, imageBytes, 1, out) == 1;
    std::fclose(out);
  }
  ::DeleteObject(bitmap);
  ::DeleteDC(memory);
  ::ReleaseDC(nullptr, screen);
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: channel_page_scene OUT.bmp\n");
    return 2;
  }
  if (!StartPluginEnvironment()) return 3;

  CScriptedPeer peer([](CPeerConnection& connection, int) {
    AcceptLogin(connection);
    Say(connection, 410, "Velmo の話題: Wine で動作確認中 / testing under Wine");
    Say(connection, 408, "たろう 1520 8");
    Say(connection, 408, "alice 42 7");
    Say(connection, 408, "bob 70000 4");
    Say(connection, 408, "はなこ 300 10");
    Say(connection, 406, "carol 12 5");
    Say(connection, 403, "たろう こんにちは、みなさん！");
    Say(connection, 403, "alice Hello from the English side of the channel.");
    Say(connection, 824, "bob \"waves at everyone\"");
    Say(connection, 403, "mallory {\\rtf1\\f1234 not welcome}");
    Say(connection, 425, "サーバーからのお知らせ: メンテナンスは明日です");
    Say(connection, 407, "carol 0 0");
    Say(connection, 403, "はなこ よろしくお願いします。日本語も English も OK です");
    connection.WaitForClose();
  });

  CTestWindow window(720, 460);
  ::SetWindowTextA(window.Handle(), "Orla - #雑談");
  RECT client;
  ::GetClientRect(window.Handle(), &client);
  CTestPageHost host;
  CChannelPage* page = OpenTestPage(&host, window.Handle(), kChannel, client.right, client.bottom);
  if (page == nullptr) return 5;
  CServerLink link;
  CWindowLinkTarget target(page->m_hWnd);
  link.Start(&target, peer.Address(), "velmo");
  PumpFor(2000);
  ::SetDlgItemTextA(page->m_hWnd, IDC_CHANNEL_INPUT, "/me 手を振る");
  ::RedrawWindow(window.Handle(), nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  PumpFor(500);
  const bool saved = SaveWindowBitmap(window.Handle(), argv[1]);
  link.Stop();
  window.Destroy();
  StopPluginEnvironment();
  return saved ? 0 : 1;
}
