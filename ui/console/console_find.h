// CConsoleFind: Find in a console's scrollback. Ctrl+F opens the system's
// Find dialog (CFindReplaceDialog, modeless, owned by the console, which
// hands its FINDMSGSTRING messages here); Find Next, F3 and Shift+F3 select
// the next or previous match and scroll it into view. A search that goes
// round the text's end (or start) says so in a small notice at the match,
// gone after a few seconds. Esc closes the dialog and the focus goes back
// where it was before Ctrl+F, if the user can still see and use that window,
// else to the page's first control. The dialog belongs to the console's page:
// hiding the page closes it, and a console whose page is hidden is never
// searched. The matching is text_search.h's: code page 932, never half a
// double-byte character, case and whole words as the dialog asks; the
// control's positions and the text's bytes are converted as edit_offsets.h
// does. No allocation per search once the text buffer has grown.
//
// Threads: user-interface thread only.
#pragma once

#include <cstddef>
#include <memory>

#include "framework/afxwin.h"

// The Find dialog's registered message (FINDMSGSTRING), for the consoles'
// ON_REGISTERED_MESSAGE: 0 until the first dialog opens, which registers it.
// Never at load: a DLL's static initialisers run inside DllMain, where
// user32 may not be called.
extern UINT g_findReplaceMessage;

class CConsoleFind {
 public:
  explicit CConsoleFind(CRichEditCtrl& console) : m_console(console) {}
  ~CConsoleFind();
  CConsoleFind(const CConsoleFind&) = delete;
  CConsoleFind& operator=(const CConsoleFind&) = delete;

  // Ctrl+F, F3 and Shift+F3 on their way to any window of the console's
  // page (its PreTranslateMessage): true when taken.
  bool PreTranslateKey(const MSG& msg);
  // FINDMSGSTRING from the dialog.
  LRESULT OnFindReplace(LPARAM lParam);
  // The console's page is being hidden: the dialog and the notice close,
  // and the focus is left to what shows the next page.
  void Close();

 private:
  // The console's page is shown. Not the console itself: a console in a
  // burst of appends has its redrawing, and so its WS_VISIBLE, off.
  bool PageShown() const;
  void OpenDialog();
  // The dialog ended: the focus back where it was if the user can still
  // see and use that window, else to the page's first control.
  void GiveFocusBack();
  // Searches from the console's selection; false when nothing matches.
  bool FindAgain(bool down);
  // Shows text for a few seconds just under the selection.
  void ShowNotice(const char* text);
  // The console's text into m_text; its length in bytes.
  std::size_t ReadText();
  // The control's own length in its positions (characters or bytes).
  std::size_t PositionsInText();

  CRichEditCtrl& m_console;
  // The open dialog's window, or null; it deletes its own object.
  HWND m_dialog = nullptr;
  // Where the focus was when Ctrl+F was pressed.
  HWND m_focusBefore = nullptr;
  // The last search, kept for F3 after the dialog is closed.
  char m_what[128] = {};
  bool m_matchCase = false;
  bool m_wholeWord = false;
  // A tracking tooltip that says the search went round or found nothing;
  // made at its first use.
  HWND m_notice = nullptr;
  // What it shows (one of a few literals) and where.
  const char* m_noticeText = nullptr;
  POINT m_noticeAt = {};
  std::unique_ptr<char[]> m_text;
  std::size_t m_textSize = 0;
};
