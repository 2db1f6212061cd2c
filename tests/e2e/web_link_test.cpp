// Web links in a console, clicked as a person clicks them: the http scheme's
// handler (a stand-in registered in this prefix's registry) is given the
// address exactly as the console shows it, and nothing is started for a
// link of another scheme. (A link too long to open cannot show here: Wine
// starts no handler for an address that long; ui_core's rules test it.)
// Before windows.h, which would otherwise bring the old socket header.
#include <winsock2.h>
//
#include <tlhelp32.h>
#include <windows.h>
//
#include <richedit.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <sstream>

#include "client_fixture.h"
#include "tests/support/message_pump.h"
#include "ui/pages/channel_page_ids.h"

namespace {

const char kHandlerKey[] = "http\\shell\\open\\command";

std::string BesideVelmo(const std::string& name) {
  std::string path = VelmoPath();
  return path.substr(0, path.rfind('\\') + 1) + name;
}

void SetHandlerCommand(const std::string& command) {
  ::RegSetKeyValueA(HKEY_CLASSES_ROOT, kHandlerKey, nullptr, REG_SZ, command.c_str(),
                    static_cast<DWORD>(command.size() + 1));
}

// The stand-in registered as the http scheme's handler (where Wine looks:
// the classes of the machine) while the object lives; what it was given is
// read from its record.
class CHttpHandler {
 public:
  CHttpHandler() : m_record(BesideVelmo("link_record.txt")) {
    char old[MAX_PATH * 2] = "";
    DWORD size = sizeof old;
    ::RegGetValueA(HKEY_CLASSES_ROOT, kHandlerKey, nullptr, RRF_RT_REG_SZ, nullptr, old, &size);
    m_oldCommand = old;
    ::DeleteFileA(m_record.c_str());
    ::SetEnvironmentVariableA("VELMO_LINK_RECORD", m_record.c_str());
    SetHandlerCommand("\"" + BesideVelmo("link_handler.exe") + "\" \"%1\"");
  }
  ~CHttpHandler() { SetHandlerCommand(m_oldCommand); }
  std::string Record() const {
    std::ifstream file(m_record, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
  }

 private:
  std::string m_record;
  std::string m_oldCommand;
};

bool HandlerRunning() {
  HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  PROCESSENTRY32 entry = {};
  entry.dwSize = sizeof(entry);
  bool running = false;
  for (BOOL more = ::Process32First(snapshot, &entry); more && !running;
       more = ::Process32Next(snapshot, &entry))
    running = lstrcmpiA(entry.szExeFile, "link_handler.exe") == 0;
  ::CloseHandle(snapshot);
  return running;
}

LONG FindInConsole(HWND console, const std::string& text) {
  FINDTEXTA find = {{0, -1}, text.c_str()};
  return static_cast<LONG>(::SendMessageA(console, EM_FINDTEXT, FR_DOWN | FR_MATCHCASE,
                                          reinterpret_cast<LPARAM>(&find)));
}

// Whether all of text, the first time the console shows it, is underlined.
bool Underlined(HWND console, const std::string& text) {
  const LONG start = FindInConsole(console, text);
  CHARRANGE range = {start, start + static_cast<LONG>(text.size())};
  ::SendMessageA(console, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
  CHARFORMATA format = {};
  format.cbSize = sizeof(format);
  ::SendMessageA(console, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
  return start >= 0 && (format.dwMask & CFM_UNDERLINE) && (format.dwEffects & CFE_UNDERLINE);
}

// How a hand gives a click on text the console shows, a few places into it
// the first time it shows: the button down and up, a release alone (as after
// a double-click elsewhere), or a drag from there to its last character
// that selects what is between.
enum class Hand { kClick, kReleaseAlone, kDrag };

LPARAM PointAt(HWND console, LONG position) {
  POINTL at = {};
  ::SendMessageA(console, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&at), position);
  return MAKELPARAM(at.x + 2, at.y + 4);
}

void ClickInto(HWND console, const std::string& text, Hand hand,
               const std::function<void()>& between) {
  const LONG start = FindInConsole(console, text);
  ASSERT_GE(start, 0) << text;
  const LPARAM down = PointAt(console, start + 4);
  const LPARAM up =
      hand == Hand::kDrag ? PointAt(console, start + static_cast<LONG>(text.size()) - 1) : down;
  // The pointer goes there too: a move the system reports while the button
  // is held (a window changing under it) finds it where the hand is.
  const auto pointTo = [console](LPARAM at) {
    POINT screen = {static_cast<short>(LOWORD(at)), static_cast<short>(HIWORD(at))};
    ::ClientToScreen(console, &screen), ::SetCursorPos(screen.x, screen.y);
  };
  pointTo(down);
  if (hand != Hand::kReleaseAlone) ::SendMessageA(console, WM_LBUTTONDOWN, MK_LBUTTON, down);
  if (hand == Hand::kDrag) pointTo(up), ::SendMessageA(console, WM_MOUSEMOVE, MK_LBUTTON, up);
  between();
  ::SendMessageA(console, WM_LBUTTONUP, 0, up);
}

// The console full to its cap with the link on its sixth line, read from its
// third: the next line trims the first, and the view stays on the same text.
void ReadAFullConsole(HWND console, const std::string& link) {
  std::string text;
  for (int i = 0; i < 1000; ++i) text += i == 5 ? "<bob> " + link + "\r\n" : "<carol> earlier\r\n";
  ::SetWindowTextA(console, text.c_str());
  ::SendMessageA(console, WM_VSCROLL, SB_TOP, 0);
  for (int i = 0; i < 2; ++i) ::SendMessageA(console, WM_VSCROLL, SB_LINEDOWN, 0);
}

}  // namespace

TEST_F(ClientTest, AClickOnAWebLinkOpensItInItsHandlerAndNothingElseIsStarted) {
  CHttpHandler handler;
  StartServer();
  StartHost();
  auto bob = Peer("bob", {"#lobby"});
  ConnectAs("velmo");
  Join("#lobby");
  HWND console = ::GetDlgItem(ChannelPage("#lobby"), IDC_CHANNEL_CONSOLE);
  // The stand-in itself as a file link: started, it would say so.
  std::string file = "file:///" + BesideVelmo("link_handler.exe");
  for (char& c : file)
    if (c == '\\') c = '/';
  const std::string web = "HtTp://example.org/a_b?q=1&r=%41#top";
  bob->Send(402, "#lobby try " + file + " or " + web + " 今");
  ASSERT_TRUE(ConsoleShows(console, web));
  EXPECT_TRUE(Underlined(console, web));
  EXPECT_FALSE(Underlined(console, file));
  EXPECT_FALSE(Underlined(console, " or "));
  const std::string wrapped = "http://example.org/" + std::string(300, 'w') + "/end";
  const struct {
    const char* name;
    std::string line;    // what bob says first, if anything
    std::string target;  // where the hand goes
    Hand hand;
    std::string opened;    // empty: nothing
    bool trimmed = false;  // a line trims the console between the button's down and up
  } cases[] = {
      {"a file link", "", file, Hand::kClick, ""},
      {"a web link", "", web, Hand::kClick, web},
      {"a release alone", "", web, Hand::kReleaseAlone, ""},
      {"a drag that selects within a link", "", web, Hand::kDrag, ""},
      // Positions counted wrongly drift a byte or more per line of double-byte text above.
      {"below Japanese lines", "日本語の行\r\nもう一行 です\r\nhttp://example.org/below", "/below",
       Hand::kClick, "http://example.org/below"},
      {"after Japanese text on its line", "日本語のあとに http://example.org/whole/link",
       "/whole/link", Hand::kClick, "http://example.org/whole/link"},
      {"on the last display line of a link that wraps", wrapped, "ww/end", Hand::kClick, wrapped},
      {"while a line trims the console", "", "/trimmed", Hand::kClick, "http://example.org/trimmed",
       true},
  };
  std::string record;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    if (c.trimmed) ReadAFullConsole(console, c.opened);
    for (std::size_t at = 0; at < c.line.size();) {
      const std::size_t end = std::min(c.line.find("\r\n", at), c.line.size());
      bob->Send(402, "#lobby " + c.line.substr(at, end - at));
      at = end + 2;
    }
    ASSERT_TRUE(ConsoleShows(console, c.target));
    ClickInto(console, c.target, c.hand, [&] {
      if (!c.trimmed) return;
      bob->Send(402, "#lobby one line more");  // at the cap the count stays: the text is read
      EXPECT_TRUE(PumpUntil([&] { return WindowText(console).find("more") != std::string::npos; }));
    });
    if (c.opened.empty()) continue;
    record += c.opened + "\n";
    EXPECT_TRUE(::PumpUntil(kHangBoundMs, [&] {
      return handler.Record().size() >= record.size() && !HandlerRunning();
    }));
  }
  // A click that should have opened nothing shows as a line too many.
  EXPECT_EQ(record, handler.Record());
}
