// velmo.dll as its host sees it: what loading registers and unloading takes
// away, a start with no main window, a start whose page host cannot be
// created, the frame's exact style and its small icon, and the frame's entry
// in the host's window list while the frame is activated, deactivated and
// closed alone with the host running on.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "client_fixture.h"
#include "module_exports.h"
#include "plugin/module_api.h"
#include "plugin_registry.h"
#include "tests/support/message_pump.h"

namespace {

// The records of the framework's resource search chain.
int ResourceChainRecords() {
  int records = 0;
  for (CDynLinkLibrary* r = AfxGetModuleState()->m_pLibraryList; r; r = r->m_pNextDLL) ++records;
  return records;
}

BOOL CALLBACK CountWindow(HWND, LPARAM counter) {
  ++*reinterpret_cast<int*>(counter);
  return TRUE;
}

int ThreadWindows() {
  int count = 0;
  ::EnumThreadWindows(::GetCurrentThreadId(), &CountWindow, reinterpret_cast<LPARAM>(&count));
  return count;
}

// The icon drawn on black, pixel by pixel, at 16 x 16.
std::vector<COLORREF> IconPixels(HICON icon) {
  HDC screen = ::GetDC(nullptr);
  HDC dc = ::CreateCompatibleDC(screen);
  HBITMAP bitmap = ::CreateCompatibleBitmap(screen, 16, 16);
  HGDIOBJ old = ::SelectObject(dc, bitmap);
  ::PatBlt(dc, 0, 0, 16, 16, BLACKNESS);
  ::DrawIconEx(dc, 0, 0, icon, 16, 16, 0, nullptr, DI_NORMAL);
  std::vector<COLORREF> pixels;
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) pixels.push_back(::GetPixel(dc, x, y));
  ::SelectObject(dc, old);
  ::DeleteObject(bitmap);
  ::DeleteDC(dc);
  ::ReleaseDC(nullptr, screen);
  return pixels;
}

// The icon's own size, or (0, 0) when the handle names no icon (any more).
SIZE IconSize(HICON icon) {
  ICONINFO info = {};
  if (!::GetIconInfo(icon, &info)) return {0, 0};
  BITMAP colour = {};
  ::GetObjectA(info.hbmColor, sizeof colour, &colour);
  ::DeleteObject(info.hbmColor);
  ::DeleteObject(info.hbmMask);
  return {colour.bmWidth, colour.bmHeight};
}

// What the window list is told while a watch lives: the count messages'
// lParam and the selections set.
class CWindowListWatch {
 public:
  explicit CWindowListWatch(HWND list) : m_list(list) {
    s_sent.clear();
    s_original = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrA(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Record)));
  }
  ~CWindowListWatch() {
    ::SetWindowLongPtrA(m_list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(s_original));
  }
  const std::vector<std::string>& Sent() const { return s_sent; }

 private:
  static LRESULT CALLBACK Record(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_WINDOWLIST_COUNT)
      s_sent.push_back("count " + std::to_string(wParam) + " " + std::to_string(lParam));
    if (message == CB_SETCURSEL) s_sent.push_back("select " + std::to_string(int(wParam)));
    return ::CallWindowProcA(s_original, window, message, wParam, lParam);
  }
  static WNDPROC s_original;
  static std::vector<std::string> s_sent;
  HWND m_list;
};
WNDPROC CWindowListWatch::s_original;
std::vector<std::string> CWindowListWatch::s_sent;

std::vector<std::string> Items(HWND list) {
  std::vector<std::string> items;
  const int count = static_cast<int>(::SendMessageA(list, CB_GETCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    char text[64] = {};
    ::SendMessageA(list, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
    items.push_back(text);
  }
  return items;
}

using Strings = std::vector<std::string>;

// Refuses the creation of a dialog whose parent is an MDI child: the page
// host inside the manager frame.
bool g_pageHostRefused = false;
LRESULT CALLBACK RefusePageHost(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_CREATEWND) {
    const CREATESTRUCTA* cs = reinterpret_cast<CBT_CREATEWNDA*>(lParam)->lpcs;
    if (cs->lpszClass == MAKEINTATOM(0x8002) && cs->hwndParent != nullptr &&
        (::GetWindowLongA(cs->hwndParent, GWL_EXSTYLE) & WS_EX_MDICHILD)) {
      g_pageHostRefused = true;
      return 1;
    }
  }
  return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

TEST_F(ClientTest, LoadingRegistersAndUnloadingWithoutAStartLeavesNothing) {
  const int records = ResourceChainRecords();
  const int windows = ThreadWindows();
  PluginRegistry::Instance().Load({VelmoPath()});
  ASSERT_EQ(1u, PluginRegistry::Instance().Plugins().size());
  EXPECT_EQ("Velmo Ver.1.0b", PluginRegistry::Instance().Plugins()[0].version);
  const HMODULE module = ::GetModuleHandleA("velmo.dll");
  ASSERT_NE(nullptr, module);
  ASSERT_EQ(records + 1, ResourceChainRecords());
  EXPECT_EQ(module, AfxGetModuleState()->m_pLibraryList->m_hModule);

  // No main window: the start creates nothing and records no frame.
  PluginRegistry::Instance().StartAll();
  PumpPending();
  const auto getServerLink = FindGetServerLink(module);
  ASSERT_NE(nullptr, getServerLink);
  EXPECT_EQ(nullptr, getServerLink());
  EXPECT_EQ(windows, ThreadWindows());

  PluginRegistry::Instance().UnloadAll();
  EXPECT_EQ(nullptr, ::GetModuleHandleA("velmo.dll"));
  EXPECT_EQ(records, ResourceChainRecords());
  EXPECT_EQ(windows, ThreadWindows());
}

// The frame's creation fails with its page host: no frame and no entry in
// the window list are left, the host's resources are found as before, and
// the next start opens the frame.
TEST_F(ClientTest, AStartWhosePageHostCannotBeCreatedLeavesTheHostAsItWas) {
  ASSERT_TRUE(theApp.StartHost({}, SW_SHOW));
  PluginRegistry::Instance().Load({VelmoPath()});
  // Not the instance handle the frame puts in its place while it creates
  // the page host, as with a host whose resources are in a DLL of their own.
  const HINSTANCE resources = AfxGetResourceHandle();
  const HINSTANCE own = ::GetModuleHandleA("velmo.dll");
  AfxSetResourceHandle(own);
  g_pageHostRefused = false;
  HHOOK refuse = ::SetWindowsHookExA(WH_CBT, &RefusePageHost, nullptr, ::GetCurrentThreadId());
  PluginRegistry::Instance().StartAll();
  ::UnhookWindowsHookEx(refuse);
  EXPECT_EQ(own, AfxGetResourceHandle());
  AfxSetResourceHandle(resources);
  PumpPending();
  EXPECT_TRUE(g_pageHostRefused);
  const HWND client = static_cast<CMDIFrameWnd*>(theApp.m_pMainWnd)->m_hWndMDIClient;
  EXPECT_EQ(nullptr, ::GetWindow(client, GW_CHILD));
  EXPECT_EQ(0, ::SendMessageA(WindowList(), CB_GETCOUNT, 0, 0));
  PluginRegistry::Instance().StartAll();
  PumpPending();
  ASSERT_NE(nullptr, Frame());
  EXPECT_EQ(ManagerPage(), VisiblePage());
  CloseHost();
}

TEST_F(ClientTest, TheFrameHasExactlyItsStyleAndItsOwnSmallIconWhichGoesWithIt) {
  StartHost();
  // The system adds WS_CLIPSIBLINGS to every MDI child; nothing else may differ.
  EXPECT_EQ(0x51CF8000u, ::GetWindowLongA(Frame(), GWL_STYLE) & ~WS_CLIPSIBLINGS);
  const auto icon = reinterpret_cast<HICON>(::SendMessageA(Frame(), WM_GETICON, ICON_SMALL, 0));
  ASSERT_NE(nullptr, icon);
  EXPECT_EQ(nullptr, reinterpret_cast<HICON>(::SendMessageA(Frame(), WM_GETICON, ICON_BIG, 0)));
  const SIZE size = IconSize(icon);
  EXPECT_EQ(16, size.cx);
  EXPECT_EQ(16, size.cy);
  const auto resource =
      static_cast<HICON>(::LoadImageA(::GetModuleHandleA("velmo.dll"), MAKEINTRESOURCEA(1001),
                                      IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR));
  ASSERT_NE(nullptr, resource);
  EXPECT_EQ(IconPixels(resource), IconPixels(icon)) << "icon 1001 of velmo.dll";
  ::DestroyIcon(resource);
  CloseHost();
  EXPECT_EQ(0, IconSize(icon).cx) << "the frame's icon was freed with it";
}

// The frame is activated and deactivated (another child takes over), each
// time with the list's selection cleared first, then closed alone while the
// host runs on.
TEST_F(ClientTest, TheFrameKeepsOnlyItsOwnWindowListEntryInStep) {
  struct Case {
    const char* name;
    bool otherEntry;      // another window's entry after the frame's, selected
    bool entryRemoved;    // the frame's entry taken out beforehand
    int selected;         // after the activation and after the deactivation
    Strings sentOnClose;  // to the list while the frame is destroyed
    Strings itemsAfter;   // once the frame is gone
  };
  const Case cases[] = {
      {"the only entry", false, false, 0, {"count 0 0", "select -1"}, {}},
      {"another window's entry beside it", true, false, 0, {"count 0 1"}, {"メモ"}},
      {"its entry already gone", true, true, -1, {}, {"メモ"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_NO_FATAL_FAILURE(StartHost());
    const HWND list = WindowList();
    const HWND client = ::GetParent(Frame());
    if (c.otherEntry) {
      const LRESULT item = ::SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("メモ"));
      ::SendMessageA(list, CB_SETITEMDATA, item, 0x1234);
    }
    if (c.entryRemoved) ::SendMessageA(list, CB_DELETESTRING, 0, 0);
    auto* other = new CMDIChildWnd;
    ASSERT_TRUE(other->Create(nullptr, "other", WS_CHILD | WS_VISIBLE, CRect(0, 0, 200, 100),
                              static_cast<CMDIFrameWnd*>(theApp.m_pMainWnd)));
    for (const HWND activated : {Frame(), other->m_hWnd}) {
      ::SendMessageA(list, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
      CWindowListWatch watch(list);
      ::SendMessageA(client, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(activated), 0);
      EXPECT_EQ(c.selected, ::SendMessageA(list, CB_GETCURSEL, 0, 0))
          << (activated == other->m_hWnd ? "deactivated" : "activated");
      if (c.entryRemoved) {
        EXPECT_EQ(Strings{}, watch.Sent()) << "nothing is sent";
      }
    }
    const int otherIndex = static_cast<int>(::SendMessageA(list, CB_GETCOUNT, 0, 0)) - 1;
    if (c.otherEntry) ::SendMessageA(list, CB_SETCURSEL, otherIndex, 0);
    {
      CWindowListWatch watch(list);
      ::SendMessageA(client, WM_MDIDESTROY, reinterpret_cast<WPARAM>(Frame()), 0);
      PumpPending();
      EXPECT_EQ(c.sentOnClose, watch.Sent());
    }
    EXPECT_EQ(nullptr, Frame());
    EXPECT_EQ(c.itemsAfter, Items(list));
    if (c.otherEntry) {
      char selected[64] = {};
      ::SendMessageA(list, CB_GETLBTEXT, ::SendMessageA(list, CB_GETCURSEL, 0, 0),
                     reinterpret_cast<LPARAM>(selected));
      EXPECT_STREQ("メモ", selected) << "the selection is left alone";
    }
    CloseHost();
    theApp.ReleaseHost();
  }
}

// The frame keeps the page host on its whole client area, and the manager
// page keeps the width of it and reaches one pixel below it, through
// maximized and restored sizes.
TEST_F(ClientTest, ThePageHostAndManagerPageFollowTheFramesSize) {
  StartHost();
  struct Size {
    const char* name;
    int width, height;  // 0: maximized
  };
  const Size sizes[] = {{"maximized", 0, 0}, {"restored", 420, 320}, {"larger", 600, 450}};
  for (const Size& size : sizes) {
    SCOPED_TRACE(size.name);
    if (size.width == 0) {
      ::ShowWindow(Frame(), SW_MAXIMIZE);
    } else {
      ::ShowWindow(Frame(), SW_RESTORE);
      ::MoveWindow(Frame(), 0, 0, size.width, size.height, TRUE);
    }
    PumpPending();
    RECT client, host, page;
    ::GetClientRect(Frame(), &client);
    ::GetWindowRect(PageHost(), &host);
    ::MapWindowPoints(nullptr, Frame(), reinterpret_cast<POINT*>(&host), 2);
    EXPECT_EQ(CRect(client), CRect(host));
    ::GetWindowRect(ManagerPage(), &page);
    ::MapWindowPoints(nullptr, PageHost(), reinterpret_cast<POINT*>(&page), 2);
    EXPECT_EQ(0, page.left);
    EXPECT_EQ(client.right, page.right);
    EXPECT_EQ(client.bottom + 1, page.bottom);
  }
}
