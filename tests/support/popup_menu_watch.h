// Reading and answering the shortcut menus the code under test shows, from
// a timer on the showing thread (a menu runs its own modal loop), as a
// keyboard user answers them. UI thread only.
#pragma once

#include <string>
#include <vector>

#include "framework/afxwin.h"

// While it lives, every shortcut menu this thread shows is read (its items'
// texts, in order) and answered with a key: an item's mnemonic letter
// chooses that item, 0 closes the menu with Esc.
class CPopupMenuWatch {
 public:
  explicit CPopupMenuWatch(char mnemonic);
  ~CPopupMenuWatch();
  CPopupMenuWatch(const CPopupMenuWatch&) = delete;
  CPopupMenuWatch& operator=(const CPopupMenuWatch&) = delete;
  // The items of each menu seen, one vector per menu.
  const std::vector<std::vector<std::string>>& Menus() const { return m_menus; }

 private:
  static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD);
  static BOOL CALLBACK ReadAndAnswer(HWND window, LPARAM);
  static CPopupMenuWatch* s_current;
  char m_mnemonic;
  UINT_PTR m_timer;
  HWND m_answered = nullptr;
  std::vector<std::vector<std::string>> m_menus;
};
