// What a screen reader hears of the client, read from another process
// (accessible_reader.exe, beside this program), while an event hook here
// records what the tab bar announces; F6 round the panes; the tab bar's
// object outliving its window; the panes' names on the system's own objects
// where the system annotates them.
// Before windows.h, which would otherwise bring the old socket header.
#include <winsock2.h>
//
#include <windows.h>
//
#include <oleacc.h>

#include <fstream>
#include <map>

#include "client_fixture.h"
#include "tests/support/key_press.h"
#include "ui/pages/channel_page_ids.h"
#include "ui/pages/manager_page_ids.h"

namespace {

// The tab bar's events, as "selection 2" (the child id: tab index + 1).
std::vector<std::string>* g_events = nullptr;
HWND g_tabBar = nullptr;

void CALLBACK RecordEvent(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child, DWORD,
                          DWORD) {
  // From EVENT_OBJECT_REORDER (0x8004) on; "name" and "description" change.
  static const char* const kNames[] = {"reorder", "focus", "selection", 0,      0,
                                       0,         0,       0,           "name", "description"};
  if (g_events != nullptr && window == g_tabBar && object == OBJID_CLIENT &&
      kNames[event - EVENT_OBJECT_REORDER])
    g_events->push_back(kNames[event - EVENT_OBJECT_REORDER] + (" " + std::to_string(child)));
}

// The annotation service as Windows answers it (Wine's says E_NOTIMPL): the
// names set on each window's own object until cleared; found by
// CoCreateInstance once registered; the rest goes to Wine's.
class CAnnotationService final : public IAccPropServices, public IClassFactory {
 public:
  CAnnotationService() {
    ::CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER, IID_IAccPropServices,
                       reinterpret_cast<void**>(&m_wine));
  }
  ~CAnnotationService() { m_wine->Release(); }
  std::map<HWND, std::wstring> names;

  HRESULT STDMETHODCALLTYPE SetHwndPropStr(HWND window, DWORD object, DWORD child, MSAAPROPID id,
                                           LPCWSTR text) override {
    if (object != static_cast<DWORD>(OBJID_CLIENT) || child != CHILDID_SELF ||
        id != PROPID_ACC_NAME)
      return E_INVALIDARG;
    names[window] = text;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE ClearHwndProps(HWND window, DWORD, DWORD, const MSAAPROPID* ids,
                                           int count) override {
    // Only while the window is there: a dead handle may come to name another.
    if (count == 1 && ids[0] == PROPID_ACC_NAME && ::IsWindow(window)) names.erase(window);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    *object = iid == IID_IClassFactory ? static_cast<void*>(static_cast<IClassFactory*>(this))
              : iid == IID_IUnknown || iid == IID_IAccPropServices
                  ? static_cast<IAccPropServices*>(this)
                  : nullptr;
    return *object != nullptr ? S_OK : E_NOINTERFACE;
  }
  // Lives on the test's stack, longer than any use.
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown*, REFIID iid, void** object) override {
    return QueryInterface(iid, object);
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }

  // Not used by the client: Wine's own answers.
  HRESULT STDMETHODCALLTYPE SetPropValue(const BYTE* a, DWORD b, MSAAPROPID c, VARIANT d) override {
    return m_wine->SetPropValue(a, b, c, d);
  }
  HRESULT STDMETHODCALLTYPE SetPropServer(const BYTE* a, DWORD b, const MSAAPROPID* c, int d,
                                          IAccPropServer* e, AnnoScope f) override {
    return m_wine->SetPropServer(a, b, c, d, e, f);
  }
  HRESULT STDMETHODCALLTYPE ClearProps(const BYTE* a, DWORD b, const MSAAPROPID* c,
                                       int d) override {
    return m_wine->ClearProps(a, b, c, d);
  }
  HRESULT STDMETHODCALLTYPE SetHwndProp(HWND a, DWORD b, DWORD c, MSAAPROPID d,
                                        VARIANT e) override {
    return m_wine->SetHwndProp(a, b, c, d, e);
  }
  HRESULT STDMETHODCALLTYPE SetHwndPropServer(HWND a, DWORD b, DWORD c, const MSAAPROPID* d, int e,
                                              IAccPropServer* f, AnnoScope g) override {
    return m_wine->SetHwndPropServer(a, b, c, d, e, f, g);
  }
  HRESULT STDMETHODCALLTYPE ComposeHwndIdentityString(HWND a, DWORD b, DWORD c, BYTE** d,
                                                      DWORD* e) override {
    return m_wine->ComposeHwndIdentityString(a, b, c, d, e);
  }
  HRESULT STDMETHODCALLTYPE DecomposeHwndIdentityString(const BYTE* a, DWORD b, HWND* c, DWORD* d,
                                                        DWORD* e) override {
    return m_wine->DecomposeHwndIdentityString(a, b, c, d, e);
  }
  HRESULT STDMETHODCALLTYPE SetHmenuProp(HMENU a, DWORD b, MSAAPROPID c, VARIANT d) override {
    return m_wine->SetHmenuProp(a, b, c, d);
  }
  HRESULT STDMETHODCALLTYPE SetHmenuPropStr(HMENU a, DWORD b, MSAAPROPID c, LPCWSTR d) override {
    return m_wine->SetHmenuPropStr(a, b, c, d);
  }
  HRESULT STDMETHODCALLTYPE SetHmenuPropServer(HMENU a, DWORD b, const MSAAPROPID* c, int d,
                                               IAccPropServer* e, AnnoScope f) override {
    return m_wine->SetHmenuPropServer(a, b, c, d, e, f);
  }
  HRESULT STDMETHODCALLTYPE ClearHmenuProps(HMENU a, DWORD b, const MSAAPROPID* c, int d) override {
    return m_wine->ClearHmenuProps(a, b, c, d);
  }
  HRESULT STDMETHODCALLTYPE ComposeHmenuIdentityString(HMENU a, DWORD b, BYTE** c,
                                                       DWORD* d) override {
    return m_wine->ComposeHmenuIdentityString(a, b, c, d);
  }
  HRESULT STDMETHODCALLTYPE DecomposeHmenuIdentityString(const BYTE* a, DWORD b, HMENU* c,
                                                         DWORD* d) override {
    return m_wine->DecomposeHmenuIdentityString(a, b, c, d);
  }

 private:
  IAccPropServices* m_wine = nullptr;
};

}  // namespace

class ScreenReaderTest : public ClientTest {
 protected:
  // What the reader in another process reads of the windows, line by line;
  // this thread serves the client meanwhile.
  std::vector<std::string> Read(const std::vector<HWND>& windows) {
    const std::string folder = VelmoPath().substr(0, VelmoPath().rfind('\\') + 1);
    const std::string output = folder + "reading.txt";
    std::string command = "\"" + folder + "accessible_reader.exe\" \"" + output + "\"";
    for (HWND window : windows) command += " " + std::to_string(reinterpret_cast<UINT_PTR>(window));
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    ::DeleteFileA(output.c_str());
    if (!::CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &process))
      return {"the reader did not start"};
    EXPECT_TRUE(PumpUntil([&] { return ::WaitForSingleObject(process.hProcess, 0) == 0; }));
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    std::ifstream file(output, std::ios::binary);
    std::vector<std::string> lines;
    for (std::string line; std::getline(file, line);) lines.push_back(line);
    return lines;
  }
};

TEST_F(ScreenReaderTest, HearsTheTabsTheirMarksAndWhatEachControlIs) {
  StartServer();
  StartHost();
  std::vector<std::string> events;
  g_events = &events;
  g_tabBar = TabBar();
  HWINEVENTHOOK hook = ::SetWinEventHook(EVENT_OBJECT_REORDER, EVENT_OBJECT_DESCRIPTIONCHANGE,
                                         nullptr, RecordEvent, 0, 0, WINEVENT_OUTOFCONTEXT);
  ASSERT_NE(nullptr, hook);
  auto bob = Peer("bob", {"#lobby", "#dev"});
  ConnectAs("velmo");

  const auto tabBar = [&] { return std::vector<HWND>{TabBar()}; };
  const auto panes = [&] {
    const HWND dev = ChannelPage("#dev");
    return std::vector<HWND>{
        ::GetDlgItem(dev, IDC_CHANNEL_CONSOLE), ::GetDlgItem(dev, IDC_CHANNEL_USERS),
        ::GetDlgItem(dev, IDC_CHANNEL_INPUT), ManagerItem(IDC_MANAGER_CHANNELS)};
  };
  // Each name by its exact length; the bar never claims the keyboard focus.
  const struct {
    const char* name;
    std::function<void()> act;
    std::function<std::vector<HWND>()> windows;
    std::vector<std::string> heard;   // the windows, read from the other process
    std::vector<std::string> events;  // what the tab bar announced meanwhile
  } steps[] = {
      {"a joined channel's tab is shown",
       [&] { Join("#lobby"); },
       tabBar,
       {"page tab list \"\"", "  page tab \"Orlaネットワーク\"", "  page tab \"#lobby\" selected"},
       {"reorder 0", "selection 2"}},
      {"Ctrl+PgDn moves the selection round to the manager's tab",
       [&] {
         Join("#dev");
         events.clear();
         ::SetFocus(::GetDlgItem(ChannelPage("#dev"), IDC_CHANNEL_INPUT));
         Press(kNextTab);
       },
       tabBar,
       {"page tab list \"\"", "  page tab \"Orlaネットワーク\" selected", "  page tab \"#lobby\"",
        "  page tab \"#dev\""},
       {"selection 1"}},
      {"hidden tabs say they have news, or a line naming the user",
       [&] {
         bob->Send(402, "#lobby anyone here?");
         bob->Send(402, "#dev velmo: the build is green");
         ASSERT_TRUE(PumpUntil([&] { return events.size() >= 2; }));
       },
       tabBar,
       {"page tab list \"\"", "  page tab \"Orlaネットワーク\" selected",
        "  page tab \"#lobby\" (新着発言)", "  page tab \"#dev\" (自分の名前を含む発言)"},
       {"description 2", "description 3"}},
      {"showing a tab clears its mark",
       [&] { Press(AltDigit('3')); },
       tabBar,
       {"page tab list \"\"", "  page tab \"Orlaネットワーク\"", "  page tab \"#lobby\" (新着発言)",
        "  page tab \"#dev\" selected"},
       {"description 3", "selection 3"}},
      {"each pane by what it is, a list's rows each by its own text",
       [&] { Type(::GetDlgItem(ChannelPage("#dev"), IDC_CHANNEL_INPUT), "half a line"); },
       panes,
       {"client \"チャット\" focusable", "list \"ユーザーリスト\" focusable",
        "  list item \"bob\" focusable (共有: 0, 回線: DSL)",
        "  list item \"velmo\" focusable (共有: 0, 回線: DSL)", "text \"発言欄\" focused focusable",
        "list \"チャンネルリスト\" focusable",
        "  list item \"#dev\" selected focusable (ユーザ: 1, トピック: builds)",
        "  list item \"#lobby\" focusable (ユーザ: 1, トピック: 雑談の部屋)"},
       {}},
      {"a private message's tab says what it holds and that it is for the user",
       [&] {
         bob->Send(205, "velmo psst");
         ASSERT_TRUE(PumpUntil([&] { return events.size() >= 2; }));
       },
       tabBar,
       {"page tab list \"\"", "  page tab \"Orlaネットワーク\"", "  page tab \"#lobby\" (新着発言)",
        "  page tab \"#dev\" selected",
        "  page tab \"bob\" (個人メッセージ、自分の名前を含む発言)"},
       {"reorder 0", "description 4"}},
  };
  for (const auto& step : steps) {
    SCOPED_TRACE(step.name);
    events.clear();
    step.act();
    PumpPending();
    EXPECT_EQ(step.heard, Read(step.windows()));
    EXPECT_EQ(step.events, events);
  }
  ::UnhookWinEvent(hook), g_events = nullptr;

  const HWND dev = ChannelPage("#dev");
  // F6 and Shift+F6 round the shown page's panes, here and on the manager's
  // page (whose address is disabled while online: its round starts at the
  // connect toggle).
  const auto focusAfter = [](std::vector<int> shifts) {
    std::vector<HWND> visited;
    for (int shift : shifts) Press({VK_F6, shift}), visited.push_back(::GetFocus());
    return visited;
  };
  ::SetFocus(::GetDlgItem(dev, IDC_CHANNEL_INPUT));
  EXPECT_EQ((std::vector<HWND>{
                ::GetDlgItem(dev, IDC_CHANNEL_CONSOLE), ::GetDlgItem(dev, IDC_CHANNEL_USERS),
                ::GetDlgItem(dev, IDC_CHANNEL_INPUT), ::GetDlgItem(dev, IDC_CHANNEL_USERS)}),
            focusAfter({kPlain, kPlain, kPlain, kShift}));
  Press(AltDigit('1'));
  EXPECT_EQ(
      (std::vector<HWND>{ManagerItem(IDC_MANAGER_SERVER_LOG), ManagerItem(IDC_MANAGER_CHANNELS),
                         ManagerItem(IDC_MANAGER_CONNECT)}),
      focusAfter({kPlain, kPlain, kPlain}));

  // A reader's default action on a tab shows it; once the window has gone,
  // the object it holds fails its calls, never crashes.
  IAccessible* bar = nullptr;
  ASSERT_HRESULT_SUCCEEDED(::AccessibleObjectFromWindow(
      TabBar(), OBJID_CLIENT, __uuidof(IAccessible), reinterpret_cast<void**>(&bar)));
  VARIANT lobbyTab = {};
  lobbyTab.vt = VT_I4, lobbyTab.lVal = 2;
  EXPECT_EQ(E_INVALIDARG, bar->accSelect(SELFLAG_TAKEFOCUS, lobbyTab)) << "no tab takes the focus";
  EXPECT_HRESULT_SUCCEEDED(bar->accDoDefaultAction(lobbyTab));
  EXPECT_EQ(ChannelPage("#lobby"), VisiblePage()) << "a tab's default action shows its page";
  CloseHost();
  LONG count = 0;
  EXPECT_HRESULT_FAILED(bar->get_accChildCount(&count));
  bar->Release();
}

TEST_F(ScreenReaderTest, WhereTheSystemAnnotatesThePanesTheSystemsOwnObjectsAnswer) {
  ASSERT_HRESULT_SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
  CAnnotationService service;
  DWORD registration = 0;
  ASSERT_HRESULT_SUCCEEDED(
      ::CoRegisterClassObject(CLSID_AccPropServices, static_cast<IClassFactory*>(&service),
                              CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &registration));
  StartServer();
  StartHost();
  ConnectAs("velmo");
  Join("#dev");
  const HWND dev = ChannelPage("#dev");
  const HWND panes[] = {
      ::GetDlgItem(dev, IDC_CHANNEL_CONSOLE), ::GetDlgItem(dev, IDC_CHANNEL_USERS),
      ::GetDlgItem(dev, IDC_CHANNEL_INPUT),   ManagerItem(IDC_MANAGER_CHANNELS),
      ManagerItem(IDC_MANAGER_SERVER_LOG),    ManagerItem(IDC_MANAGER_ADDRESS),
      ManagerItem(IDC_MANAGER_NICKNAME)};
  EXPECT_EQ((std::map<HWND, std::wstring>{{panes[0], L"チャット"},
                                          {panes[1], L"ユーザーリスト"},
                                          {panes[2], L"発言欄"},
                                          {panes[3], L"チャンネルリスト"},
                                          {panes[4], L"サーバメッセージ"},
                                          {panes[5], L"サーバアドレス"},
                                          {panes[6], L"ニックネーム"}}),
            service.names);
  // Each control's own answer stands: the system's object, with its rows.
  for (HWND pane : panes) EXPECT_EQ(0, ::SendMessageA(pane, WM_GETOBJECT, 0, OBJID_CLIENT));
  Click(::GetDlgItem(dev, IDC_CHANNEL_LEAVE));
  EXPECT_TRUE(PumpUntil([&] { return service.names.size() == 4; })) << "a pane's name goes with it";
  CloseHost();
  EXPECT_TRUE(service.names.empty());
  ::CoRevokeClassObject(registration);
  ::CoUninitialize();
}
