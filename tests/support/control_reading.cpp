// See control_reading.h.
#include "tests/support/control_reading.h"

#include <commctrl.h>
#include <richedit.h>
#include <richole.h>
#include <tom.h>

#include "ui/console/text_object_ids.h"

std::string SelectedText(HWND console) {
  char read[256] = {};
  IRichEditOle* ole = nullptr;
  ITextDocument* document = nullptr;
  ITextSelection* selection = nullptr;
  BSTR text = nullptr;
  ::SendMessageA(console, EM_GETOLEINTERFACE, 0, reinterpret_cast<LPARAM>(&ole));
  if (!ole) ::SendMessageA(console, EM_GETSELTEXT, 0, reinterpret_cast<LPARAM>(read));
  if (ole && ole->QueryInterface(kTextDocumentIid, reinterpret_cast<void**>(&document)) == S_OK &&
      document->GetSelection(&selection) == S_OK && selection->GetText(&text) == S_OK)
    ::WideCharToMultiByte(932, 0, text, -1, read, sizeof read - 1, nullptr, nullptr);
  ::SysFreeString(text);
  for (IUnknown* held : {static_cast<IUnknown*>(selection), static_cast<IUnknown*>(document),
                         static_cast<IUnknown*>(ole)})
    if (held) held->Release();
  return read;
}

namespace {

struct ShownWindow {
  const char* name;
  HWND found;
};

BOOL CALLBACK FindShownWindow(HWND hWnd, LPARAM lParam) {
  auto* wanted = reinterpret_cast<ShownWindow*>(lParam);
  char name[64] = "";
  ::GetClassNameA(hWnd, name, sizeof name);
  if (::IsWindowVisible(hWnd) && lstrcmpiA(name, wanted->name) == 0) wanted->found = hWnd;
  return wanted->found == nullptr;
}

}  // namespace

HWND ShownWindowOfClass(const char* name) {
  ShownWindow wanted = {name, nullptr};
  ::EnumThreadWindows(::GetCurrentThreadId(), &FindShownWindow, reinterpret_cast<LPARAM>(&wanted));
  return wanted.found;
}

std::string WindowText(HWND window) {
  // A control may count characters, not bytes: leave room for two bytes
  // per character.
  const int length = ::GetWindowTextLengthA(window) * 2 + 1;
  std::string text(static_cast<std::size_t>(length), '\0');
  const int got = ::GetWindowTextA(window, &text[0], length);
  text.resize(static_cast<std::size_t>(got > 0 ? got : 0));
  return text;
}

int ListRowCount(HWND list) {
  return static_cast<int>(::SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
}

int ConsoleLineCount(HWND console) {
  return static_cast<int>(::SendMessageA(console, EM_GETLINECOUNT, 0, 0));
}

namespace {

// The control counts positions in characters: a double-byte character is one.
long CharCount(const std::string& bytes) {
  if (bytes.empty()) return 0;
  return ::MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
}

std::string Hex(COLORREF colour) {
  char text[16];
  wsprintfA(text, "%06X", static_cast<unsigned>(colour));
  return text;
}

}  // namespace

std::string CompareConsole(HWND console, const std::vector<Piece>& expected) {
  std::string whole;
  for (const Piece& piece : expected) whole += piece.text;
  const std::string actual = WindowText(console);
  if (actual != whole) return "text is [" + actual + "], expected [" + whole + "]";
  long start = 0;
  for (const Piece& piece : expected) {
    const long end = start + CharCount(piece.text);
    CHARRANGE range = {start, end};
    ::SendMessageA(console, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
    CHARFORMATA format = {};
    format.cbSize = sizeof(format);
    ::SendMessageA(console, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
    if (!(format.dwMask & CFM_COLOR)) return "piece [" + piece.text + "] has mixed colours";
    if (format.crTextColor != piece.colour) {
      return "piece [" + piece.text + "] is " + Hex(format.crTextColor) + ", expected " +
             Hex(piece.colour);
    }
    start = end;
  }
  return "";
}

std::vector<std::string> ListRows(HWND list) {
  std::vector<std::string> rows;
  const int count = static_cast<int>(::SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
  for (int row = 0; row < count; ++row) {
    std::string text;
    for (int column = 0; column < 3; ++column) {
      char cell[1024] = {};
      LVITEMA item = {};
      item.iSubItem = column;
      item.pszText = cell;
      item.cchTextMax = sizeof(cell) - 1;
      ::SendMessageA(list, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
      if (column > 0) text += "|";
      text += cell;
    }
    rows.push_back(text);
  }
  return rows;
}
