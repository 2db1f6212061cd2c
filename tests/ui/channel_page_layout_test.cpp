// The channel page's template, set-up, colours, layout and splitter.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "tests/support/ui_test_support.h"

namespace {

CRect DialogUnits(HWND page, int x, int y, int width, int height) {
  CRect rect(x, y, x + width, y + height);
  ::MapDialogRect(page, &rect);
  return rect;
}

CRect ChildRect(HWND page, int id) {
  CRect rect;
  ::GetWindowRect(::GetDlgItem(page, id), &rect);
  ::MapWindowPoints(nullptr, page, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

class ChannelPageTemplate : public testing::Test {
 protected:
  void TearDown() override { window.Destroy(); }
  CTestWindow window;
  CTestPageHost host;
};

// One item or the header of an extended dialog template, as stored.
struct TemplateItem {
  DWORD style = 0;
  DWORD exStyle = 0;
  int x = 0, y = 0, width = 0, height = 0;
  DWORD id = 0;
  std::string className;
  std::string text;
};

struct DialogTemplate {
  TemplateItem dialog;
  int pointSize = 0;
  int weight = 0;
  int italic = 0;
  int charSet = 0;
  std::string face;
  std::vector<TemplateItem> items;
};

// Reads the extended template from its resource bytes.
class TemplateReader {
 public:
  explicit TemplateReader(const BYTE* data) : m_at(data) {}
  WORD Word() { return Take<WORD>(); }
  DWORD Dword() { return Take<DWORD>(); }
  short Short() { return Take<short>(); }
  BYTE Byte() { return Take<BYTE>(); }
  // A string or an ordinal (0xFFFF then a WORD): predefined class ordinals
  // become their names.
  std::string NameOrOrdinal() {
    const auto* text = reinterpret_cast<const WCHAR*>(m_at);
    if (text[0] == 0xFFFF) {
      m_at += 4;
      static const char* const kClasses[] = {"BUTTON",  "EDIT",      "STATIC",
                                             "LISTBOX", "SCROLLBAR", "COMBOBOX"};
      const unsigned ordinal = text[1];
      return ordinal >= 0x80 && ordinal <= 0x85 ? kClasses[ordinal - 0x80]
                                                : "#" + std::to_string(ordinal);
    }
    return String();
  }
  std::string String() {
    const auto* text = reinterpret_cast<const WCHAR*>(m_at);
    const int length = lstrlenW(text);
    m_at += (length + 1) * 2;
    char bytes[512] = {};
    ::WideCharToMultiByte(932, 0, text, length, bytes, sizeof(bytes) - 1, nullptr, nullptr);
    return bytes;
  }
  void AlignDword(const BYTE* base) {
    while ((m_at - base) % 4 != 0) ++m_at;
  }
  void Skip(int count) { m_at += count; }
  const BYTE* At() const { return m_at; }

 private:
  template <typename T>
  T Take() {
    T value;
    std::memcpy(&value, m_at, sizeof(T));
    m_at += sizeof(T);
    return value;
  }
  const BYTE* m_at;
};

void ReadGeometry(TemplateReader& reader, TemplateItem* item) {
  item->x = reader.Short();
  item->y = reader.Short();
  item->width = reader.Short();
  item->height = reader.Short();
}

DialogTemplate LoadChannelPageTemplate() {
  DialogTemplate result;
  const HMODULE module = ::GetModuleHandleA(nullptr);
  const HRSRC resource =
      ::FindResourceExA(module, MAKEINTRESOURCEA(5), MAKEINTRESOURCEA(IDD_CHANNEL_PAGE),
                        MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT));
  if (resource == nullptr) return result;
  const auto* base = static_cast<const BYTE*>(::LockResource(::LoadResource(module, resource)));
  TemplateReader reader(base);
  if (reader.Word() != 1 || reader.Word() != 0xFFFF) return result;
  reader.Dword();  // help id
  result.dialog.exStyle = reader.Dword();
  result.dialog.style = reader.Dword();
  const int count = reader.Word();
  ReadGeometry(reader, &result.dialog);
  reader.NameOrOrdinal();  // menu
  result.dialog.className = reader.NameOrOrdinal();
  result.dialog.text = reader.String();
  result.pointSize = reader.Word();
  result.weight = reader.Word();
  result.italic = reader.Byte();
  result.charSet = reader.Byte();
  result.face = reader.String();
  for (int i = 0; i < count; ++i) {
    reader.AlignDword(base);
    TemplateItem item;
    reader.Dword();  // help id
    item.exStyle = reader.Dword();
    item.style = reader.Dword();
    ReadGeometry(reader, &item);
    item.id = reader.Dword();
    item.className = reader.NameOrOrdinal();
    item.text = reader.NameOrOrdinal();
    reader.Skip(reader.Word());
    result.items.push_back(item);
  }
  return result;
}

TEST_F(ChannelPageTemplate, TemplateHoldsTheControlsInTabOrder) {
  const DialogTemplate page = LoadChannelPageTemplate();
  EXPECT_EQ(static_cast<DWORD>(WS_CHILD | DS_SETFONT), page.dialog.style);
  EXPECT_EQ(0u, page.dialog.exStyle);
  EXPECT_EQ(297, page.dialog.width);
  EXPECT_EQ(176, page.dialog.height);
  EXPECT_EQ("", page.dialog.text);
  EXPECT_EQ(9, page.pointSize);
  EXPECT_EQ(0, page.weight);
  EXPECT_EQ(0, page.italic);
  EXPECT_EQ(DEFAULT_CHARSET, page.charSet);
  EXPECT_EQ("ＭＳ Ｐゴシック", page.face);

  const DWORD base = WS_CHILD | WS_VISIBLE;
  const TemplateItem expected[] = {
      {base | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 0, 0, 140, 245, 16, IDC_CHANNEL_INPUT,
       "EDIT", ""},
      {base | WS_TABSTOP | BS_PUSHBUTTON, WS_EX_CLIENTEDGE, 245, 140, 50, 16, IDC_CHANNEL_LEAVE,
       "BUTTON", "退室する"},
      {base | WS_BORDER | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS |
           LVS_SORTASCENDING,
       0, 155, 20, 140, 120, IDC_CHANNEL_USERS, "SysListView32", ""},
      {base | WS_BORDER | WS_VSCROLL | WS_TABSTOP | ES_MULTILINE | ES_AUTOVSCROLL | ES_READONLY |
           ES_WANTRETURN,
       0, 0, 20, 155, 120, IDC_CHANNEL_CONSOLE, "RICHEDIT", ""},
      {base | WS_GROUP | SS_SUNKEN | SS_LEFT, 0, 0, 0, 295, 20, IDC_CHANNEL_TOPIC, "STATIC", ""},
  };
  ASSERT_EQ(5u, page.items.size());
  for (std::size_t i = 0; i < page.items.size(); ++i) {
    const TemplateItem& got = page.items[i];
    const TemplateItem& want = expected[i];
    EXPECT_EQ(want.id, got.id) << i;
    // Class names are not case-sensitive; the compiler stores them upper-case.
    EXPECT_EQ(0, lstrcmpiA(want.className.c_str(), got.className.c_str())) << want.id;
    EXPECT_EQ(want.style, got.style) << want.id;
    EXPECT_EQ(want.exStyle, got.exStyle) << want.id;
    EXPECT_EQ(CRect(want.x, want.y, want.x + want.width, want.y + want.height),
              CRect(got.x, got.y, got.x + got.width, got.y + got.height))
        << want.id;
    EXPECT_EQ(want.text, got.text) << want.id;
  }
}

TEST_F(ChannelPageTemplate, TheInputBoxIsWhiteOnBlackAndOtherControlsKeepTheirColours) {
  CChannelPage* page = OpenTestPage(&host, window.Handle(), "#c");
  ASSERT_NE(nullptr, page);
  HDC dc = ::CreateCompatibleDC(nullptr);
  const HWND input = ::GetDlgItem(page->m_hWnd, IDC_CHANNEL_INPUT);
  const auto brush = reinterpret_cast<HBRUSH>(page->SendMessage(
      WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(input)));
  LOGBRUSH logBrush = {};
  ASSERT_TRUE(::GetObjectA(brush, sizeof(logBrush), &logBrush));
  EXPECT_EQ(RGB(0, 0, 0), logBrush.lbColor);
  EXPECT_EQ(RGB(255, 255, 255), ::GetTextColor(dc));
  EXPECT_EQ(RGB(0, 0, 0), ::GetBkColor(dc));
  ::SetTextColor(dc, RGB(1, 2, 3));
  const auto other = reinterpret_cast<HBRUSH>(
      page->SendMessage(WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                        reinterpret_cast<LPARAM>(::GetDlgItem(page->m_hWnd, IDC_CHANNEL_TOPIC))));
  EXPECT_NE(brush, other);
  EXPECT_NE(RGB(255, 255, 255), ::GetTextColor(dc));
  ::DeleteDC(dc);
}

// A page of a given size in a test window, with its template sizes in pixels.
class ChannelPageLayout : public testing::Test {
 protected:
  void Open(int width, int height) {
    page = OpenTestPage(&host, window.Handle(), "#c", width, height);
    ASSERT_NE(nullptr, page);
    hPage = page->m_hWnd;
    // The dialog manager maps each control's size, not its edges.
    button = DialogUnits(hPage, 0, 0, 50, 16);
    topicHeight = DialogUnits(hPage, 0, 0, 295, 20).Height();
    listWidth = DialogUnits(hPage, 0, 0, 140, 120).Width();
  }
  void TearDown() override { window.Destroy(); }

  CRect Rect(int id) const { return ChildRect(hPage, id); }
  LRESULT Mouse(UINT message, UINT flags, int x, int y) {
    return page->SendMessage(message, flags,
                             MAKELPARAM(static_cast<short>(x), static_cast<short>(y)));
  }
  // Somewhere inside the strip between console and list.
  CPoint GapPoint() const {
    return CPoint(Rect(IDC_CHANNEL_CONSOLE).right + 2, Rect(IDC_CHANNEL_CONSOLE).top + 30);
  }

  CTestWindow window{900, 600};
  CTestPageHost host;
  CChannelPage* page = nullptr;
  HWND hPage = nullptr;
  CRect button;
  int topicHeight = 0;
  int listWidth = 0;
};

TEST_F(ChannelPageLayout, ControlsFillThePageAtEverySize) {
  Open(600, 360);
  const int sizes[][2] = {{600, 360}, {800, 500}, {450, 300}};
  for (const auto& size : sizes) {
    page->SetWindowPos(nullptr, 0, 0, size[0], size[1], SWP_NOZORDER | SWP_NOMOVE);
    const int w = size[0], h = size[1];
    const int bw = button.Width(), bh = button.Height();
    EXPECT_EQ(CRect(w - bw, h - bh, w, h), Rect(IDC_CHANNEL_LEAVE)) << w;
    EXPECT_EQ(CRect(0, h - bh, w - bw - 2, h), Rect(IDC_CHANNEL_INPUT)) << w;
    EXPECT_EQ(CRect(0, 0, w, topicHeight), Rect(IDC_CHANNEL_TOPIC)) << w;
    EXPECT_EQ(CRect(w - listWidth, topicHeight, w, h - bh), Rect(IDC_CHANNEL_USERS)) << w;
    EXPECT_EQ(CRect(0, topicHeight, w - listWidth - 4, h - bh), Rect(IDC_CHANNEL_CONSOLE)) << w;
  }
}

TEST_F(ChannelPageLayout, DraggingTheSplitterMovesTheBoundary) {
  Open(600, 360);
  const CPoint gap = GapPoint();
  Mouse(WM_MOUSEMOVE, MK_LBUTTON, gap.x, gap.y);
  EXPECT_EQ(hPage, ::GetCapture());
  Mouse(WM_MOUSEMOVE, MK_LBUTTON, 300, 100);
  const int paneBottom = 360 - button.Height();
  EXPECT_EQ(CRect(302, topicHeight, 600, paneBottom), Rect(IDC_CHANNEL_USERS));
  EXPECT_EQ(CRect(0, topicHeight, 298, paneBottom), Rect(IDC_CHANNEL_CONSOLE));
  Mouse(WM_LBUTTONUP, 0, 300, 100);
  EXPECT_EQ(nullptr, ::GetCapture());
  // After the release a move with the button down elsewhere changes nothing.
  Mouse(WM_MOUSEMOVE, MK_LBUTTON, 100, 100);
  EXPECT_EQ(CRect(302, topicHeight, 600, paneBottom), Rect(IDC_CHANNEL_USERS));
  // The width survives the next size change.
  page->SetWindowPos(nullptr, 0, 0, 700, 360, SWP_NOZORDER | SWP_NOMOVE);
  EXPECT_EQ(CRect(402, topicHeight, 700, paneBottom), Rect(IDC_CHANNEL_USERS));
}

TEST_F(ChannelPageLayout, DragsBeyondEitherEdgeLeaveBothPanesVisible) {
  Open(600, 360);
  const struct {
    int x;
    int listLeft;
    int consoleRight;
  } drags[] = {{-200, 12, 8}, {0, 12, 8}, {599, 592, 588}, {5000, 592, 588}};
  for (const auto& drag : drags) {
    const CPoint gap = GapPoint();
    Mouse(WM_MOUSEMOVE, MK_LBUTTON, gap.x, gap.y);
    Mouse(WM_MOUSEMOVE, MK_LBUTTON, drag.x, 100);
    Mouse(WM_LBUTTONUP, 0, drag.x, 100);
    EXPECT_EQ(drag.listLeft, Rect(IDC_CHANNEL_USERS).left) << drag.x;
    EXPECT_EQ(600, Rect(IDC_CHANNEL_USERS).right) << drag.x;
    EXPECT_EQ(0, Rect(IDC_CHANNEL_CONSOLE).left) << drag.x;
    EXPECT_EQ(drag.consoleRight, Rect(IDC_CHANNEL_CONSOLE).right) << drag.x;
  }
}

TEST_F(ChannelPageLayout, OnlyTheLeftButtonAloneStartsADrag) {
  Open(600, 360);
  const CRect list = Rect(IDC_CHANNEL_USERS);
  const CPoint gap = GapPoint();
  const UINT flags[] = {0, MK_LBUTTON | MK_SHIFT, MK_LBUTTON | MK_CONTROL, MK_LBUTTON | MK_RBUTTON};
  for (UINT f : flags) {
    ::SetCursor(::LoadCursor(nullptr, IDC_ARROW));
    Mouse(WM_MOUSEMOVE, f, gap.x, gap.y);
    EXPECT_EQ(::LoadCursor(nullptr, IDC_SIZEWE), ::GetCursor()) << f;
    EXPECT_EQ(nullptr, ::GetCapture()) << f;
    Mouse(WM_MOUSEMOVE, f, 200, 100);
    EXPECT_EQ(list, Rect(IDC_CHANNEL_USERS)) << f;
  }
  // Outside the gap even the left button alone does nothing.
  Mouse(WM_MOUSEMOVE, MK_LBUTTON, 100, 100);
  EXPECT_EQ(nullptr, ::GetCapture());
  EXPECT_EQ(list, Rect(IDC_CHANNEL_USERS));
}

}  // namespace
