// Reading the client's controls back as a user sees them: a console's text
// and the colour of each piece, a list view's rows, rectangles printed by
// their edges. Shared by the UI tests and the end-to-end tests. UI thread of
// the controls only.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "framework/afxwin.h"

// Rectangles print as their edges in failure messages.
inline void PrintTo(const CRect& rect, std::ostream* os) {
  *os << "(" << rect.left << "," << rect.top << ")-(" << rect.right << "," << rect.bottom << ")";
}

// A window's whole text: a console's with its "\r\n" line breaks, an
// edit's, a button's, a caption.
std::string WindowText(HWND window);
int ConsoleLineCount(HWND console);
// A console's selected text (up to 255 bytes) as a screen reader reads it,
// through the text object model: whole double-byte characters, where
// EM_GETSELTEXT under Wine copies one byte a character (used only when
// the control offers no object model).
std::string SelectedText(HWND console);
// The visible top-level window of this thread with the class name (the Find
// dialog's "#32770", a notice's tooltip class), or null.
HWND ShownWindowOfClass(const char* name);

struct Piece {
  std::string text;
  COLORREF colour;
};
// "" when the console holds exactly these pieces in these colours, else a
// description of the first difference.
std::string CompareConsole(HWND console, const std::vector<Piece>& expected);

// How many rows a list view holds: cheap enough for a wait's every turn.
int ListRowCount(HWND list);
// The rows of a list view, each as "col0|col1|col2".
std::vector<std::string> ListRows(HWND list);
