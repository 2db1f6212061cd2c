// The client inside a running palaver.exe, driven from another process the
// way a person drives it: texts typed into the edits, clicks on buttons and
// tabs, Enter in an input box. Used by the demo's tour and by the package
// test. Messages that carry pointers go through memory in the client's
// process (CRemoteListView); the rest cross processes as they are.
//
// Every wait is for a window or a text, with a time limit; a limit passed
// ends the program with exit code 1 and the reason on standard error, since
// a driver that lost the client can do nothing more.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/support/hang_bound.h"

[[noreturn]] void FailDriving(const std::string& what);
// Waits until done() holds, or fails after limitMs.
void WaitFor(const std::string& what, DWORD limitMs, const std::function<bool()>& done);

class CRemoteClient {
 public:
  // A bound for a hang: a busy machine may take many seconds for a step.
  static const DWORD kWindowLimitMs = kHangBoundMs;

  // Waits for the host's window with the frame "Orlaマネージャー" in it.
  void FindClient();
  // Types the address and the nickname, presses Connect and waits until the
  // channel list shows every one of the channels.
  void Connect(const std::string& address, const std::string& nickname,
               const std::vector<std::string>& channels);
  // Joins from the list as a person does and returns the channel's new page.
  HWND Join(const std::string& channel);
  // Waits until the page's console has had lines more lines.
  void Listen(HWND page, int lines);
  // The page's console's line count, and a wait until it holds count lines:
  // a line that something else makes arrive is waited for from a count read
  // before, or it may be in the count already.
  int ConsoleLines(HWND page);
  void WaitForConsoleLines(HWND page, int count);
  // Says the line in the page and waits until the input box is empty and
  // the console has one line more (the server's echo, or someone else's).
  void Say(HWND page, const std::string& line);
  // The first column of the page's user list: the nicknames.
  std::vector<std::string> Users(HWND page);
  void ClickTab(int index);
  // Whether the tab shows a mark (news, or a mention), read off the screen.
  bool TabMarked(int index);
  // Closes the host's main window as its user would.
  void CloseHost();

  HWND MainWindow() const { return m_main; }

 private:
  HWND Manager(int id) const { return ::GetDlgItem(m_manager, id); }

  HWND m_main = nullptr;
  HWND m_frame = nullptr;
  HWND m_pageHost = nullptr;
  HWND m_manager = nullptr;
};

// A message to the client's thread; a client stuck in a message box fails
// the driver instead of hanging it.
LRESULT SendToClient(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
