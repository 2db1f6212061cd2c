// The host, velmo.dll, the server and second clients in one process. See
// client_fixture.h.
#include "client_fixture.h"

#include "plugin_registry.h"
#include "tests/support/message_pump.h"
#include "tests/support/strict_winsock.h"
#include "ui/host/page_host_ids.h"
#include "ui/pages/channel_page.h"
#include "ui/pages/channel_page_ids.h"
#include "ui/pages/manager_page_ids.h"

CPalaverApp theApp;

namespace {

const char kFrameTitle[] = "Orlaマネージャー";

std::string Beside(const char* file) {
  char path[MAX_PATH] = {};
  ::GetModuleFileNameA(nullptr, path, MAX_PATH);
  const std::string folder = path;
  return folder.substr(0, folder.find_last_of('\\') + 1) + file;
}

struct ChildWalk {
  HWND parent;
  std::vector<HWND> children;
};

BOOL CALLBACK CollectChild(HWND child, LPARAM data) {
  auto* walk = reinterpret_cast<ChildWalk*>(data);
  // EnumChildWindows walks grandchildren too; only direct children count.
  if (::GetParent(child) == walk->parent) walk->children.push_back(child);
  return TRUE;
}

// The direct children of parent, in z-order.
std::vector<HWND> ChildrenOf(HWND parent) {
  ChildWalk walk = {parent, {}};
  if (parent != nullptr) ::EnumChildWindows(parent, &CollectChild, reinterpret_cast<LPARAM>(&walk));
  return walk.children;
}

// The children of parent that hold a control with the id.
std::vector<HWND> ChildrenWith(HWND parent, int id) {
  std::vector<HWND> found;
  for (HWND child : ChildrenOf(parent))
    if (::GetDlgItem(child, id) != nullptr) found.push_back(child);
  return found;
}

}  // namespace

std::string VelmoPath() { return Beside("velmo.dll"); }

char StatusColour(HWND statusImage) {
  auto bitmap =
      reinterpret_cast<HBITMAP>(::SendMessageA(statusImage, STM_GETIMAGE, IMAGE_BITMAP, 0));
  if (bitmap == nullptr) return '?';
  HDC dc = ::CreateCompatibleDC(nullptr);
  HGDIOBJ old = ::SelectObject(dc, bitmap);
  // The banner's left end, above the lettering.
  const COLORREF pixel = ::GetPixel(dc, 1, 1);
  ::SelectObject(dc, old);
  ::DeleteDC(dc);
  const int r = GetRValue(pixel), g = GetGValue(pixel), b = GetBValue(pixel);
  if (r > 200 && g > 200 && b < 120) return 'y';
  if (r > 200 && g < 120) return 'r';
  if (g > 200 && r < 120) return 'g';
  if (r == g && g == b) return 'k';
  return '?';
}

void ClientTest::SetUp() {
  config.motd = {"ようこそ Orla へ", "second line"};
  config.channels = {{"#lobby", "雑談の部屋"}, {"#dev", "builds"}};
}

void ClientTest::TearDown() {
  if (theApp.m_pMainWnd != nullptr) CloseHost();
  theApp.ReleaseHost();
  if (server) server->Stop();
}

void ClientTest::StartServer() {
  server = std::make_unique<orla_server::Server>(config);
  std::string error;
  ASSERT_TRUE(server->Start(&error)) << error;
}

std::string ClientTest::Address() const { return "127.0.0.1:" + std::to_string(server->Port()); }

void ClientTest::StartHost(const char* plugin) {
  ASSERT_TRUE(theApp.StartHost({Beside(plugin)}, SW_SHOW));
  ASSERT_TRUE(PluginRegistry::Instance().TakeFailures().empty());
  // The plug-in's sockets answered as on Windows; nothing is open yet.
  ASSERT_NE(0, InstallStrictWinsock(::GetModuleHandleA(plugin)));
  PumpPending();
  ASSERT_NE(nullptr, Frame());
}

void ClientTest::CloseHost() {
  theApp.CloseHost();
  EXPECT_TRUE(PumpPending()) << "destroying the main window ends the message loop";
}

bool ClientTest::PumpUntil(const std::function<bool()>& done) {
  return ::PumpUntil(kHangBoundMs, done);
}

bool ClientTest::ConsoleShows(HWND console, const std::string& text) {
  int linesRead = -1;
  return PumpUntil([&] {
    const int lines = ConsoleLineCount(console);
    if (lines == linesRead) return false;
    linesRead = lines;
    return WindowText(console).find(text) != std::string::npos;
  });
}

HWND ClientTest::Frame() const {
  CWnd* main = theApp.m_pMainWnd;
  if (main == nullptr) return nullptr;
  HWND client = static_cast<CMDIFrameWnd*>(main)->m_hWndMDIClient;
  return ::FindWindowExA(client, nullptr, nullptr, kFrameTitle);
}

HWND ClientTest::PageHost() const { return ::GetWindow(Frame(), GW_CHILD); }

HWND ClientTest::ManagerPage() const {
  const std::vector<HWND> pages = ChildrenWith(PageHost(), IDC_MANAGER_CONNECT);
  return pages.size() == 1 ? pages.front() : nullptr;
}

HWND ClientTest::TabBar() const { return ::GetDlgItem(PageHost(), IDC_PAGE_HOST_TAB_BAR); }

HWND ClientTest::WindowList() const { return FindWindowListCombo(theApp.m_pMainWnd->m_hWnd); }

std::vector<HWND> ClientTest::ChannelPages() const {
  return ChildrenWith(PageHost(), IDC_CHANNEL_TOPIC);
}

HWND ClientTest::ChannelPage(const std::string& channel) const {
  for (HWND page : ChannelPages()) {
    // This process shares the framework's window map with velmo.dll.
    auto* object = static_cast<CChannelPage*>(CWnd::FromHandlePermanent(page));
    if (object != nullptr && channel == object->ChannelName()) return page;
  }
  return nullptr;
}

HWND ClientTest::PrivatePage(const std::string& nick) const {
  for (HWND page : ChildrenWith(PageHost(), IDC_CHANNEL_INPUT)) {
    auto* object = static_cast<CChannelPage*>(CWnd::FromHandlePermanent(page));
    if (object != nullptr && object->Kind() == PageKind::kPrivate && nick == object->ChannelName())
      return page;
  }
  return nullptr;
}

HWND ClientTest::VisiblePage() const {
  HWND visible = nullptr;
  for (HWND child : ChildrenOf(PageHost())) {
    const int id = ::GetDlgCtrlID(child);
    if (id == IDC_PAGE_HOST_TOP_LINE || id == IDC_PAGE_HOST_TAB_BAR ||
        id == IDC_PAGE_HOST_SECOND_LINE || !::IsWindowVisible(child))
      continue;
    if (visible != nullptr) return nullptr;  // two visible pages: none is "the" page
    visible = child;
  }
  return visible;
}

void ClientTest::Type(HWND edit, const std::string& text) { ::SetWindowTextA(edit, text.c_str()); }

void ClientTest::Click(HWND button) {
  ::SendMessageA(button, BM_CLICK, 0, 0);
  PumpPending();
}

void ClientTest::ClickTab(int index) {
  // Tabs are 154 x 21 pixels, 157 apart in a row and 22 apart in a column.
  const LPARAM point = MAKELPARAM(index % 4 * 157 + 20, index / 4 * 22 + 10);
  ::SendMessageA(TabBar(), WM_LBUTTONDOWN, MK_LBUTTON, point);
  ::SendMessageA(TabBar(), WM_LBUTTONUP, 0, point);
  PumpPending();
}

void ClientTest::Say(const std::string& channel, const std::string& line) {
  Say(ChannelPage(channel), line);
}

void ClientTest::Say(HWND page, const std::string& line) {
  HWND input = ::GetDlgItem(page, IDC_CHANNEL_INPUT);
  Type(input, line);
  ::SetFocus(input);
  ::PostMessageA(input, WM_KEYDOWN, VK_RETURN, 1);
  PumpPending();
}

void ClientTest::ConnectAs(const std::string& nickname) {
  Type(ManagerItem(IDC_MANAGER_ADDRESS), Address());
  Type(ManagerItem(IDC_MANAGER_NICKNAME), nickname);
  Click(ManagerItem(IDC_MANAGER_CONNECT));
  ASSERT_TRUE(PumpUntil([&] {
    return StatusColour(ManagerItem(IDC_MANAGER_STATUS)) == 'g' &&
           ListRowCount(ManagerItem(IDC_MANAGER_CHANNELS)) >=
               static_cast<int>(config.channels.size());
  })) << "online, and the channel list has arrived";
}

bool ClientTest::SelectChannelRow(const std::string& channel) {
  HWND list = ManagerItem(IDC_MANAGER_CHANNELS);
  // Found by the control itself, not read back row by row: a wait may ask on
  // every turn.
  LVFINDINFOA find = {};
  find.flags = LVFI_STRING;
  find.psz = channel.c_str();
  const LRESULT row =
      ::SendMessageA(list, LVM_FINDITEMA, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&find));
  if (row < 0) return false;
  LVITEMA item = {};
  item.stateMask = LVIS_SELECTED;
  item.state = LVIS_SELECTED;
  ::SendMessageA(list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
  return true;
}

void ClientTest::Join(const std::string& channel) {
  ASSERT_TRUE(SelectChannelRow(channel)) << channel << " is not in the channel list";
  Click(ManagerItem(IDC_MANAGER_JOIN));
  ASSERT_TRUE(PumpUntil([&] { return ChannelPage(channel) != nullptr; })) << channel;
}

std::unique_ptr<orla_server::TestClient> ClientTest::Peer(
    const std::string& nickname, const std::vector<std::string>& channels) {
  auto peer = std::make_unique<orla_server::TestClient>(server->Port());
  peer->Login(nickname, config.motd.size());
  for (const std::string& channel : channels) {
    peer->Send(400, channel);
    EXPECT_TRUE(peer->WaitFor({408, channel + " " + nickname + " 0 8"})) << channel;
  }
  return peer;
}
