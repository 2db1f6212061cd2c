// The host with real plug-in DLLs, in-process: loading and registration,
// start order, the window list, the plug-in list, failing DLLs and unloading.
// This program is itself named palaver.exe, so the test plug-ins' imports of
// CPalaverPlugin and RegisterPlugin resolve to the host code linked here.
#include <gtest/gtest.h>
#include <winsock2.h>

#include <string>
#include <vector>

#include "command_line.h"
#include "framework/afxwin.h"
#include "host_ids.h"
#include "main_frame.h"
#include "palaver_app.h"
#include "plugin_registry.h"
#include "test_plugin/test_plugin_ids.h"
#include "test_plugin/test_plugin_probe.h"
#include "tests/support/control_reading.h"
#include "tests/support/message_box_watch.h"
#include "tests/support/message_pump.h"

CPalaverApp theApp;

namespace {

std::string Beside(const char* file) {
  char path[MAX_PATH] = {};
  ::GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder = path;
  return folder.substr(0, folder.find_last_of('\\') + 1) + file;
}

TestPluginProbe* ProbeOf(const std::string& path) {
  HMODULE module = ::GetModuleHandleA(path.c_str());
  if (!module) return nullptr;
  auto get = reinterpret_cast<GetTestPluginProbeFn>(
      reinterpret_cast<void*>(::GetProcAddress(module, "GetTestPluginProbe")));
  return get ? get() : nullptr;
}

class HostTest : public ::testing::Test {
 protected:
  const std::string pluginA = Beside("testplugin_a.dll");
  const std::string pluginB = Beside("testplugin_b.dll");

  void Start(const std::vector<std::string>& paths) {
    ASSERT_TRUE(theApp.StartHost(paths, SW_SHOW));
    failures = PluginRegistry::Instance().TakeFailures();
    PumpPending();
  }
  void TearDown() override {
    if (theApp.m_pMainWnd) CloseWindows();
    theApp.ReleaseHost();
  }
  void CloseWindows() {
    theApp.CloseHost();
    EXPECT_TRUE(PumpPending()) << "destroying the main window ends the message loop";
  }
  HWND Combo() { return FindWindowListCombo(theApp.m_pMainWnd->m_hWnd); }
  std::string CountLabel() {
    return WindowText(::GetDlgItem(::GetParent(Combo()), IDC_WINDOW_COUNT));
  }
  std::string ComboItem(int i) {
    char text[256] = {};
    ::SendMessageA(Combo(), CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
    return text;
  }
  CMDIFrameWnd* Main() { return static_cast<CMDIFrameWnd*>(theApp.m_pMainWnd); }
  // The texts of the Window menu's entries for MDI children.
  std::vector<std::string> WindowMenuChildren() {
    std::vector<std::string> texts;
    HMENU bar = ::GetMenu(Main()->m_hWnd);
    for (int i = 0; i < ::GetMenuItemCount(bar); ++i) {
      HMENU popup = ::GetSubMenu(bar, i);
      if (!popup || ::GetMenuState(popup, ID_WINDOW_CASCADE, MF_BYCOMMAND) == UINT(-1)) continue;
      for (int j = 0; j < ::GetMenuItemCount(popup); ++j) {
        if (::GetMenuItemID(popup, j) < AFX_IDM_FIRST_MDICHILD) continue;
        char text[128] = {};
        ::GetMenuStringA(popup, j, text, sizeof text, MF_BYPOSITION);
        texts.push_back(text);
      }
    }
    return texts;
  }

  std::vector<std::string> failures;
};

TEST_F(HostTest, MainWindowHoldsTheWindowListAndRegistersRichEdit) {
  Start({});
  ASSERT_NE(Combo(), nullptr) << "the window list plug-ins look for";
  char cls[32] = {};
  ::GetClassNameA(Combo(), cls, sizeof cls);
  EXPECT_STREQ(cls, "ComboBox");
  EXPECT_TRUE(::IsWindowVisible(Main()->m_hWnd));
  EXPECT_EQ(WindowText(Main()->m_hWnd), "Palaver");
  WNDCLASSA wc;
  EXPECT_TRUE(::GetClassInfoA(nullptr, "RICHEDIT", &wc)) << "pages need the class";
  SOCKET s = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  EXPECT_NE(s, INVALID_SOCKET) << "the host started the socket library";
  ::closesocket(s);
  ::SendMessageA(Combo(), WM_WINDOWLIST_COUNT, 0, 0x10003);
  EXPECT_EQ(CountLabel(), "3 windows") << "only the low 16 bits count";
}

TEST_F(HostTest, PluginRegistersStartsItsChildFromATemplateOnlyItHoldsAndUnloadsCleanly) {
  Start({pluginA});
  EXPECT_TRUE(failures.empty());
  const std::vector<PluginRecord>& plugins = PluginRegistry::Instance().Plugins();
  ASSERT_EQ(plugins.size(), 1u);
  EXPECT_EQ(plugins[0].author, "Velmo tests");
  EXPECT_EQ(plugins[0].version, "Test A 1.0");

  TestPluginProbe* probe = ProbeOf(pluginA);
  ASSERT_NE(probe, nullptr);
  EXPECT_EQ(probe->onStartCalls, 1);
  EXPECT_TRUE(probe->mainWindowVisibleAtStart);
  ASSERT_NE(probe->frame, nullptr);
  EXPECT_STREQ(probe->frame->GetRuntimeClass()->m_lpszClassName, "CTestFrame");
  EXPECT_EQ(Main()->MDIGetActive(), probe->frame) << "shown and activated";
  EXPECT_EQ(probe->styleRequested, 0x51CF8000u);
  EXPECT_EQ(static_cast<DWORD>(probe->frame->GetStyle()) & probe->styleRequested,
            probe->styleRequested);
  EXPECT_FALSE(probe->frame->GetExStyle() & WS_EX_CLIENTEDGE);
  EXPECT_TRUE(probe->frame->GetExStyle() & WS_EX_MDICHILD);

  HWND page = ::GetWindow(probe->frame->m_hWnd, GW_CHILD);
  ASSERT_NE(page, nullptr) << "the page template came from the plug-in's resources";
  EXPECT_NE(::GetDlgItem(page, IDC_PAGE_TEXT), nullptr);
  EXPECT_EQ(WindowText(::GetDlgItem(page, IDC_PAGE_TEXT)), "初期テキスト");
  EXPECT_EQ(::SendMessageA(::GetDlgItem(page, IDC_PAGE_TEXT), EM_GETLIMITTEXT, 0, 0), 16);
  RECT client, pageRect;
  ::GetClientRect(probe->frame->m_hWnd, &client);
  ::GetClientRect(page, &pageRect);
  EXPECT_EQ(pageRect.right, client.right) << "the frame lays its page out";
  ::PostMessageA(::GetDlgItem(page, IDC_PAGE_TEXT), WM_KEYDOWN, VK_RETURN, 1);
  PumpPending();
  EXPECT_EQ(probe->enterKeysInEdit, 1) << "the host's pump routes keys to the page first";

  EXPECT_EQ(::SendMessageA(Combo(), CB_GETCOUNT, 0, 0), 1);
  EXPECT_EQ(ComboItem(0), "テストプラグイン A");
  EXPECT_EQ(::SendMessageA(Combo(), CB_GETITEMDATA, 0, 0), reinterpret_cast<LRESULT>(probe->frame));
  EXPECT_EQ(CountLabel(), "1 window");

  CloseWindows();
  EXPECT_EQ(probe->onStopCalls, 1);
  EXPECT_EQ(probe->framesDeleted, 1) << "the framework deleted the frame with its window";

  HMODULE module = ::GetModuleHandleA(pluginA.c_str());
  theApp.ReleaseHost();
  EXPECT_EQ(::GetModuleHandleA(pluginA.c_str()), nullptr);
  for (CDynLinkLibrary* p = AfxGetModuleState()->m_pLibraryList; p; p = p->m_pNextDLL) {
    EXPECT_NE(p->m_hModule, module) << "its resources left the search chain";
  }
}

TEST_F(HostTest, PluginsStartInLoadOrderAndTheListActivatesAndForgetsTheirChildren) {
  Start({pluginB, pluginA});
  ASSERT_EQ(::SendMessageA(Combo(), CB_GETCOUNT, 0, 0), 2);
  EXPECT_EQ(ComboItem(0), "テストプラグイン B") << "B was loaded first";
  EXPECT_EQ(ComboItem(1), "テストプラグイン A");
  EXPECT_EQ(CountLabel(), "2 windows");
  std::vector<std::string> listed = WindowMenuChildren();
  ASSERT_EQ(listed.size(), 2u) << "the Window menu lists the children";
  EXPECT_NE(listed[0].find("テストプラグイン B"), std::string::npos) << listed[0];
  CMDIChildWnd* frameB = ProbeOf(pluginB)->frame;
  CMDIChildWnd* frameA = ProbeOf(pluginA)->frame;
  EXPECT_EQ(Main()->MDIGetActive(), frameA);

  ::SendMessageA(Combo(), CB_SETCURSEL, 0, 0);
  ::SendMessageA(::GetParent(Combo()), WM_COMMAND,
                 MAKEWPARAM(PALAVER_IDC_WINDOW_LIST, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(Combo()));
  EXPECT_EQ(Main()->MDIGetActive(), frameB) << "choosing an entry activates its child";

  // An entry whose data is no live child of ours is ignored.
  ::SendMessageA(Combo(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("stray"));
  ::SendMessageA(Combo(), CB_SETITEMDATA, 2, 0x12345678);
  ::SendMessageA(Combo(), CB_SETCURSEL, 2, 0);
  ::SendMessageA(::GetParent(Combo()), WM_COMMAND,
                 MAKEWPARAM(PALAVER_IDC_WINDOW_LIST, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(Combo()));
  EXPECT_EQ(Main()->MDIGetActive(), frameB);
  ::SendMessageA(Combo(), CB_DELETESTRING, 2, 0);

  frameB->DestroyWindow();
  PumpPending();
  EXPECT_EQ(ProbeOf(pluginB)->framesDeleted, 1);
  ASSERT_EQ(::SendMessageA(Combo(), CB_GETCOUNT, 0, 0), 1);
  EXPECT_EQ(ComboItem(0), "テストプラグイン A");
  EXPECT_EQ(CountLabel(), "1 window");
  EXPECT_EQ(Main()->MDIGetActive(), frameA);
}

TEST_F(HostTest, FailingDllsAreNamedInAMessageAndTheRestStillStart) {
  const std::string missing = Beside("no_such_plugin.dll");
  const std::string silent = Beside("framework_test_res.dll");  // registers nothing
  Start({missing, silent, pluginA, pluginA});
  ASSERT_EQ(failures.size(), 3u);
  EXPECT_NE(failures[0].find("no_such_plugin.dll"), std::string::npos) << failures[0];
  EXPECT_NE(failures[0].find("could not be loaded"), std::string::npos) << failures[0];
  EXPECT_NE(failures[1].find("framework_test_res.dll"), std::string::npos) << failures[1];
  EXPECT_NE(failures[1].find("registered no plug-in"), std::string::npos) << failures[1];
  EXPECT_EQ(::GetModuleHandleA(silent.c_str()), nullptr) << "it was unloaded again";
  EXPECT_NE(failures[2].find("loaded already"), std::string::npos) << failures[2];
  EXPECT_EQ(PluginRegistry::Instance().Plugins().size(), 1u);
  EXPECT_EQ(ProbeOf(pluginA)->onStartCalls, 1);
}

// A DLL that registered two objects is freed once for both: a reference
// held besides the host's own keeps it loaded.
TEST_F(HostTest, ADllOfTwoObjectsIsFreedOnceForBoth) {
  ::SetEnvironmentVariableA(TEST_PLUGIN_SECOND_OBJECT, "1");
  Start({pluginA});
  ::SetEnvironmentVariableA(TEST_PLUGIN_SECOND_OBJECT, nullptr);
  ASSERT_EQ(2u, PluginRegistry::Instance().Plugins().size());
  EXPECT_EQ(PluginRegistry::Instance().Plugins()[0].module,
            PluginRegistry::Instance().Plugins()[1].module);
  const HMODULE held = ::LoadLibraryA(pluginA.c_str());
  CloseWindows();
  theApp.ReleaseHost();
  EXPECT_EQ(held, ::GetModuleHandleA(pluginA.c_str())) << "freed once more than it was loaded";
  ::FreeLibrary(held);
  EXPECT_EQ(nullptr, ::GetModuleHandleA(pluginA.c_str()));
}

TEST_F(HostTest, RegistrationOutsideALoadIsRefused) {
  CPalaverPlugin stray;
  EXPECT_EQ(RegisterPlugin(&stray, "x", "y"), 0);
  EXPECT_EQ(RegisterPlugin(nullptr, "x", "y"), 0);
  EXPECT_TRUE(PluginRegistry::Instance().Plugins().empty());
}

TEST_F(HostTest, PluginListShowsFileAuthorAndVersion) {
  Start({pluginA, pluginB});
  Main()->SendMessage(WM_COMMAND, ID_HELP_PLUGINS, 0);
  CListCtrl& rows = static_cast<CMainFrame*>(Main())->m_pluginList.m_rows;
  ASSERT_NE(rows.m_hWnd, nullptr);
  EXPECT_TRUE(::IsWindowVisible(::GetParent(rows.m_hWnd)));
  ASSERT_EQ(rows.GetItemCount(), 2);
  EXPECT_STREQ(rows.GetItemText(0, 0), "testplugin_a.dll");
  EXPECT_STREQ(rows.GetItemText(0, 1), "Velmo tests");
  EXPECT_STREQ(rows.GetItemText(0, 2), "Test A 1.0");
  EXPECT_STREQ(rows.GetItemText(1, 2), "Test B 1.0");
}

TEST_F(HostTest, ProgramStartsFromItsCommandLineReportsFailuresAndUnloadsAtExit) {
  std::string commandLine =
      "--plugin \"" + pluginA + "\" --plugin \"" + Beside("no_such_plugin.dll") + "\"";
  theApp.m_lpCmdLine = &commandLine[0];
  CMessageBoxWatch answer;
  ASSERT_TRUE(theApp.InitInstance());
  ASSERT_EQ(1u, answer.Seen().size());
  EXPECT_EQ(answer.Seen()[0].caption, "Palaver");
  EXPECT_NE(answer.Seen()[0].text.find("no_such_plugin.dll"), std::string::npos)
      << answer.Seen()[0].text;
  EXPECT_EQ(ProbeOf(pluginA)->onStartCalls, 1);
  EXPECT_EQ(::SendMessageA(Combo(), CB_GETCOUNT, 0, 0), 1);

  theApp.m_pMainWnd->PostMessage(WM_CLOSE);
  EXPECT_EQ(theApp.Run(), 0) << "closing the main window ends the program";
  EXPECT_EQ(theApp.m_pMainWnd, nullptr);
  EXPECT_EQ(::GetModuleHandleA(pluginA.c_str()), nullptr) << "unloaded after the windows";
  theApp.m_lpCmdLine = nullptr;
}

TEST(HostCommandLine, PluginOptionsInOrderWithQuotedPaths) {
  EXPECT_EQ(PluginPathsFromArguments(
                SplitCommandLine("--plugin a.dll -x --plugin \"C:\\my dir\\b.dll\" --plugin")),
            (std::vector<std::string>{"a.dll", "C:\\my dir\\b.dll"}));
  EXPECT_TRUE(PluginPathsFromArguments(SplitCommandLine("")).empty());
  EXPECT_TRUE(PluginPathsFromArguments(SplitCommandLine(nullptr)).empty());
}

TEST(HostCommandLine, PluginsFolderGivesItsDllsByName) {
  char temp[MAX_PATH] = {};
  ::GetTempPathA(MAX_PATH, temp);
  std::string folder = std::string(temp) + "velmo_plugins_test";
  ::CreateDirectoryA(folder.c_str(), nullptr);
  for (const char* name : {"b.dll", "a.dll", "notes.txt"}) {
    HANDLE file = ::CreateFileA((folder + "\\" + name).c_str(), GENERIC_WRITE, 0, nullptr,
                                CREATE_ALWAYS, 0, nullptr);
    ::CloseHandle(file);
  }
  EXPECT_EQ(PluginPathsInFolder(folder),
            (std::vector<std::string>{folder + "\\a.dll", folder + "\\b.dll"}));
  for (const char* name : {"b.dll", "a.dll", "notes.txt"})
    ::DeleteFileA((folder + "\\" + name).c_str());
  ::RemoveDirectoryA(folder.c_str());
  EXPECT_TRUE(PluginPathsInFolder(folder).empty());
}

}  // namespace
