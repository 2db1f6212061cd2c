// The tab bar on a real static control (SS_NOTIFY) in a real parent window:
// add/remove/select sequences with the parent's notifications, clicks sent
// as mouse messages, and the painted pixels read back from the screen.
#include "ui/host/tab_bar.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <ostream>
#include <string>
#include <vector>

#include "res/image_ids.h"
#include "ui/core/colour_contrast.h"
#include "tests/support/ui_test_support.h"
#include "ui/ui_messages.h"

namespace {

// One WM_TABBAR_NOTIFY as the parent received it, with the bar's height at
// that moment (a resize must be done before the parent hears of it).
struct Notice {
  unsigned code;
  LPARAM index;
  int barHeight;
};

bool operator==(const Notice& a, const Notice& b) {
  return a.code == b.code && a.index == b.index && a.barHeight == b.barHeight;
}

void PrintTo(const Notice& n, std::ostream* os) {
  *os << (n.code == TABBAR_RESIZED   ? "RESIZED"
          : n.code == TABBAR_CLICKED ? "CLICKED"
                                     : "code ")
      << "(" << n.index << ", height " << n.barHeight << ")";
}

Notice Resized(int height) { return {TABBAR_RESIZED, 0, height}; }
Notice Clicked(int index) { return {TABBAR_CLICKED, index, 44}; }

int WindowHeight(HWND window) {
  RECT rect;
  ::GetWindowRect(window, &rect);
  return rect.bottom - rect.top;
}

// A top-level window that records every WM_TABBAR_NOTIFY it receives and
// holds the tab bar's static control at (5, 1), as the page host does.
class CTabBarParent {
 public:
  CTabBarParent() {
    static const ATOM kClass = [] {
      WNDCLASSA wc = {};
      wc.lpfnWndProc = &CTabBarParent::Proc;
      wc.hInstance = ::GetModuleHandleA(nullptr);
      wc.hbrBackground = reinterpret_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH));
      wc.lpszClassName = "TabBarTestParent";
      return ::RegisterClassA(&wc);
    }();
    m_hWnd = ::CreateWindowExA(0, MAKEINTATOM(kClass), "tab bar test", WS_POPUP | WS_VISIBLE, 0, 0,
                               660, 120, nullptr, nullptr, ::GetModuleHandleA(nullptr), nullptr);
    ::SetWindowLongPtrA(m_hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    control =
        ::CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE | SS_NOTIFY, 5, 1, 400, 20, m_hWnd,
                          reinterpret_cast<HMENU>(1001), ::GetModuleHandleA(nullptr), nullptr);
  }
  ~CTabBarParent() {
    ::DestroyWindow(m_hWnd);
    PumpPending();
  }
  HWND control;
  std::vector<Notice> notices;

 private:
  static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<CTabBarParent*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
    if (message == WM_TABBAR_NOTIFY && self != nullptr) {
      self->notices.push_back({static_cast<unsigned>(wParam), lParam, WindowHeight(self->control)});
      return 1;
    }
    return ::DefWindowProcA(window, message, wParam, lParam);
  }
  HWND m_hWnd;
};

class TabBarTest : public testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(bar.SubclassWindow(parent.control)); }

  // Loads the faces, adds tabs for pages 0 to count - 1 (labelled "tab N"),
  // selects one and forgets the notifications so far.
  void Prepare(bool load, int count, int selected) {
    if (load) {
      ASSERT_TRUE(bar.LoadTabBitmap(IDB_TAB_FACES));
    }
    for (int i = 0; i < count; ++i) ASSERT_TRUE(bar.AddTab(Label(i).c_str(), &pages[i]));
    if (selected >= 0) {
      ASSERT_TRUE(bar.SetCurSel(selected));
    }
    nextPage = count;
    PumpPending();
    parent.notices.clear();
  }
  static std::string Label(int page) { return "tab " + std::to_string(page); }
  std::vector<int> PagesInTabOrder() const {
    std::vector<int> order;
    for (int i = 0; i < bar.GetTabCount(); ++i) order.push_back(PageNumber(bar.GetTabPage(i)));
    return order;
  }
  int PageNumber(const CWnd* page) const {
    for (int i = 0; i < 13; ++i)
      if (page == &pages[i]) return i;
    return -1;
  }

  CTabBarParent parent;
  CTabBar bar;  // after the parent: its object goes first, as in the page host
  CWnd pages[13];
  int nextPage = 0;
};

// ---- add, remove and select -------------------------------------------------

enum class Op { Add, AddNullLabel, Remove, Select, Load };

struct Step {
  Op op;
  int arg;  // tab index (Remove, Select) or bitmap id (Load)
  bool accepted;
};

struct SequenceCase {
  const char* name;
  bool loaded;
  int tabsBefore;
  int selectedBefore;
  std::vector<Step> steps;
  std::vector<int> pages;  // page numbers in tab order afterwards
  int selected;
  int height;
  std::vector<Notice> notices;
};

void PrintTo(const SequenceCase& c, std::ostream* os) { *os << c.name; }

const Step kAdd = {Op::Add, 0, true};

// Each row: loaded, tabs before, selection before | steps | pages in tab
// order, selection, height | notifications.
// clang-format off
const std::vector<SequenceCase> kSequences = {
    {"loaded bar without tabs is H + 3 high", true, 0, -1, {}, {}, -1, 41, {}},
    {"first tab opens a row", true, 0, -1, {kAdd}, {0}, -1, 22, {Resized(22)}},
    {"2nd to 4th tab fit the row", true, 1, -1, {kAdd, kAdd, kAdd}, {0, 1, 2, 3}, -1, 22, {}},
    {"5th and 9th tab open rows", true, 4, -1, {kAdd, kAdd, kAdd, kAdd, kAdd},
     {0, 1, 2, 3, 4, 5, 6, 7, 8}, -1, 66, {Resized(44), Resized(66)}},
    {"adding keeps the selection", true, 3, 1, {kAdd, kAdd}, {0, 1, 2, 3, 4}, 1, 44, {Resized(44)}},
    {"13th tab is refused", true, 12, 5, {{Op::Add, 0, false}},
     {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}, 5, 66, {}},
    {"null label is refused", true, 3, -1, {{Op::AddNullLabel, 0, false}}, {0, 1, 2}, -1, 22, {}},
    {"removing down to 4 tabs closes a row", true, 5, 0, {{Op::Remove, 4, true}},
     {0, 1, 2, 3}, 0, 22, {Resized(22)}},
    {"removing down to 8 tabs closes a row", true, 9, -1, {{Op::Remove, 0, true}},
     {1, 2, 3, 4, 5, 6, 7, 8}, -1, 44, {Resized(44)}},
    {"removing the only tab leaves no height", true, 1, 0, {{Op::Remove, 0, true}},
     {}, -1, 0, {Resized(0)}},
    {"removing the 6th of 6 keeps two rows", true, 6, 2, {{Op::Remove, 5, true}},
     {0, 1, 2, 3, 4}, 2, 44, {}},
    {"removing the selected tab leaves none selected", true, 4, 2, {{Op::Remove, 2, true}},
     {0, 1, 3}, -1, 22, {}},
    {"a selection after the removed tab keeps its number", true, 4, 3, {{Op::Remove, 1, true}},
     {0, 2, 3}, 3, 22, {}},
    {"a selection before the removed tab stays", true, 5, 1, {{Op::Remove, 3, true}},
     {0, 1, 2, 4}, 1, 22, {Resized(22)}},
    {"index equal to the count, or negative, is refused", true, 3, 1,
     {{Op::Remove, 3, false}, {Op::Select, 3, false}, {Op::Remove, -1, false}},
     {0, 1, 2}, 1, 22, {}},
    {"selecting never notifies; a negative index is taken", true, 3, -1,
     {{Op::Select, 2, true}, {Op::Select, 0, true}, {Op::Select, -1, true}},
     {0, 1, 2}, -1, 22, {}},
    {"a second load is refused", true, 5, 0, {{Op::Load, IDB_TAB_FACES, false}},
     {0, 1, 2, 3, 4}, 0, 44, {}},
    {"before the faces are loaded nothing is taken", false, 0, -1,
     {{Op::Add, 0, false}, {Op::Select, 0, false}, {Op::Remove, 0, false}}, {}, -1, 20, {}},
    {"a missing bitmap still gives tabs, in rows as with the faces", false, 0, -1,
     {{Op::Load, 999, false}, kAdd, kAdd, kAdd, kAdd, kAdd, {Op::Load, IDB_TAB_FACES, false}},
     {0, 1, 2, 3, 4}, -1, 44, {Resized(22), Resized(44)}},
};
// clang-format on

class TabBarSequence : public TabBarTest, public testing::WithParamInterface<SequenceCase> {};

TEST_P(TabBarSequence, GivesCountSelectionHeightAndNotifications) {
  const SequenceCase& c = GetParam();
  ASSERT_NO_FATAL_FAILURE(Prepare(c.loaded, c.tabsBefore, c.selectedBefore));
  for (std::size_t i = 0; i < c.steps.size(); ++i) {
    const Step& step = c.steps[i];
    BOOL result = FALSE;
    switch (step.op) {
      case Op::Add:
        result = bar.AddTab(Label(nextPage).c_str(), &pages[nextPage]);
        if (result) ++nextPage;
        break;
      case Op::AddNullLabel:
        result = bar.AddTab(nullptr, &pages[nextPage]);
        break;
      case Op::Remove:
        result = bar.RemoveTab(step.arg);
        break;
      case Op::Select:
        result = bar.SetCurSel(step.arg);
        break;
      case Op::Load:
        result = bar.LoadTabBitmap(static_cast<UINT>(step.arg));
        break;
    }
    EXPECT_EQ(result != FALSE, step.accepted) << "step " << i;
  }
  PumpPending();
  EXPECT_EQ(bar.GetTabCount(), static_cast<int>(c.pages.size()));
  EXPECT_EQ(PagesInTabOrder(), c.pages);
  EXPECT_EQ(bar.GetTabPage(bar.GetTabCount()), nullptr);
  EXPECT_EQ(bar.GetTabPage(-1), nullptr);
  EXPECT_EQ(bar.GetCurSel(), c.selected);
  EXPECT_EQ(WindowHeight(parent.control), c.height);
  EXPECT_EQ(parent.notices, c.notices);
}

INSTANTIATE_TEST_SUITE_P(Sequences, TabBarSequence, testing::ValuesIn(kSequences));

TEST_F(TabBarTest, KeepsItsPositionAndTakesTheFullWidth) {
  ASSERT_NO_FATAL_FAILURE(Prepare(true, 5, 0));
  RECT rect;
  ::GetWindowRect(parent.control, &rect);
  ::MapWindowPoints(nullptr, ::GetParent(parent.control), reinterpret_cast<POINT*>(&rect), 2);
  EXPECT_EQ(rect.left, 5);
  EXPECT_EQ(rect.top, 1);
  EXPECT_EQ(rect.right - rect.left, 628);
}

// ---- clicks -------------------------------------------------------------------

struct ClickCase {
  const char* name;
  int x, y;  // in the bar's client coordinates
  int selected;
  std::vector<Notice> notices;
};

void PrintTo(const ClickCase& c, std::ostream* os) { *os << c.name; }

// Six tabs in two rows, tab 3 selected: tabs are 154 x 21, columns at x = 0,
// 157, 314, 471, rows at y = 1 and 23.
const std::vector<ClickCase> kClicks = {
    {"top-left pixel of the first tab", 0, 1, 0, {Clicked(0)}},
    {"bottom-right pixel of the first tab", 153, 21, 0, {Clicked(0)}},
    {"the bar's top pixel row", 10, 0, 3, {}},
    {"first pixel of the column gap", 154, 10, 3, {}},
    {"last pixel of the column gap", 156, 10, 3, {}},
    {"left edge of the second column", 157, 10, 1, {Clicked(1)}},
    {"the row gap", 80, 22, 3, {}},
    {"top edge of the second row", 160, 23, 5, {Clicked(5)}},
    {"the selected tab notifies again", 624, 5, 3, {Clicked(3)}},
    {"an empty slot", 320, 30, 3, {}},
    {"the last empty slot", 500, 40, 3, {}},
};

class TabBarClick : public TabBarTest, public testing::WithParamInterface<ClickCase> {};

TEST_P(TabBarClick, SelectsTheTabUnderThePointAndTellsTheParent) {
  const ClickCase& c = GetParam();
  ASSERT_NO_FATAL_FAILURE(Prepare(true, 6, 3));
  ::PostMessageA(parent.control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(c.x, c.y));
  ::PostMessageA(parent.control, WM_LBUTTONUP, 0, MAKELPARAM(c.x, c.y));
  PumpPending();
  EXPECT_EQ(bar.GetCurSel(), c.selected);
  EXPECT_EQ(parent.notices, c.notices);
}

INSTANTIATE_TEST_SUITE_P(Clicks, TabBarClick, testing::ValuesIn(kClicks));

// ---- painting -----------------------------------------------------------------

// What a slot shows, read at a point of the face where no label reaches.
char Appearance(COLORREF c) {
  const int r = GetRValue(c), g = GetGValue(c), b = GetBValue(c);
  if (c == ::GetSysColor(COLOR_BTNFACE)) return 'F';
  if (b > r + 60 && b > g + 30) return 'B';
  if (std::abs(r - g) <= 8 && std::abs(g - b) <= 8) return 'G';
  return '?';
}

struct PaintCase {
  const char* name;
  int tabs;
  int selected;
  std::vector<int> removals;  // after the first paint, with no paint between
  std::string slots;          // G grey face, B blue face, F button face, per slot
};

void PrintTo(const PaintCase& c, std::ostream* os) { *os << c.name; }

const std::vector<PaintCase> kPaints = {
    {"the selected face is blue, the others grey", 6, 1, {}, "GBGGGG"},
    {"no selection draws every face grey", 3, -1, {}, "GGG"},
    {"a removal clears the vacated slot", 6, 1, {5}, "GBGGGF"},
    {"two removals before one paint clear both slots", 7, 0, {6, 5}, "BGGGGFF"},
    {"removing the selected tab leaves all faces grey", 3, 2, {2}, "GGF"},
    {"a selection left past the last tab draws none", 4, 3, {1}, "GGGF"},
};

class TabBarPaint : public TabBarTest, public testing::WithParamInterface<PaintCase> {};

TEST_P(TabBarPaint, ShowsFacesFromTheBitmapAndClearsFreedSlots) {
  const PaintCase& c = GetParam();
  ASSERT_NO_FATAL_FAILURE(Prepare(true, c.tabs, c.selected));
  ::UpdateWindow(parent.control);
  for (int index : c.removals) ASSERT_TRUE(bar.RemoveTab(index));
  ::UpdateWindow(parent.control);
  HDC dc = ::GetDC(parent.control);
  std::string slots;
  for (std::size_t slot = 0; slot < c.slots.size(); ++slot) {
    const int left = static_cast<int>(slot % 4) * 157;
    const int top = static_cast<int>(slot / 4) * 22 + 1;
    slots += Appearance(::GetPixel(dc, left + 100, top + 2));
  }
  ::ReleaseDC(parent.control, dc);
  EXPECT_EQ(slots, c.slots);
}

INSTANTIATE_TEST_SUITE_P(Paints, TabBarPaint, testing::ValuesIn(kPaints));

TEST_F(TabBarTest, FramesEachTabSunkenAndLettersItWhite) {
  ASSERT_NO_FATAL_FAILURE(Prepare(true, 2, 1));
  ::UpdateWindow(parent.control);
  HDC dc = ::GetDC(parent.control);
  const COLORREF shadow = ::GetSysColor(COLOR_BTNSHADOW);
  const COLORREF highlight = ::GetSysColor(COLOR_BTNHIGHLIGHT);
  for (int left : {0, 157}) {
    SCOPED_TRACE(left);
    EXPECT_EQ(::GetPixel(dc, left, 1), shadow);           // top-left corner
    EXPECT_EQ(::GetPixel(dc, left + 152, 1), shadow);     // top edge
    EXPECT_EQ(::GetPixel(dc, left, 20), shadow);          // left edge
    EXPECT_EQ(::GetPixel(dc, left + 153, 1), highlight);  // right edge, top
    EXPECT_EQ(::GetPixel(dc, left, 21), highlight);       // bottom edge, left
    EXPECT_EQ(::GetPixel(dc, left + 153, 21), highlight);
    int white = 0;
    for (int y = 2; y < 21; ++y)
      for (int x = left + 5; x < left + 60; ++x)
        if (::GetPixel(dc, x, y) == RGB(255, 255, 255)) ++white;
    EXPECT_GT(white, 20) << "the label \"tab N\" in white";
  }
  ::ReleaseDC(parent.control, dc);
}

// ---- what a user can read ----------------------------------------------------

class TabBarLook : public TabBarTest, public testing::WithParamInterface<bool> {};

// Read back as painted, with the faces. Where a white label
// may go on unlabelled tabs 0 and 1 (selected), every face pixel gives it
// 3:1 or more, the frame's top and left edges stay apart from the face, and
// the selected face is blue where the other is grey. Tabs 3 (news) and 4 (a
// mention), marked after a first paint, against tab 2 of the same long
// label: each mark is a block of one colour ending at the face's right-hand
// edge, 3:1 or more against the face behind it, neither grey nor blue, and
// no label pixel changes; the two marks differ; marking again repaints
// nothing.
TEST_P(TabBarLook, LabelsFrameSelectionAndMarksStandOut) {
  ASSERT_TRUE(bar.LoadTabBitmap(IDB_TAB_FACES));
  for (int i = 0; i < 5; ++i)
    ASSERT_TRUE(bar.AddTab(i < 2 ? "" : "#a-channel-name-far-too-long-for-one-tab", &pages[i]));
  ASSERT_TRUE(bar.SetCurSel(1));
  ::UpdateWindow(parent.control);
  ASSERT_TRUE(bar.MarkTab(3, TabMark::kNews));
  ASSERT_TRUE(bar.MarkTab(4, TabMark::kMention));
  ::UpdateWindow(parent.control);
  bar.MarkTab(3, TabMark::kNews);
  bar.MarkTab(4, TabMark::kNews);
  EXPECT_FALSE(::GetUpdateRect(parent.control, nullptr, FALSE)) << "repainted for the same news";
  HDC dc = ::GetDC(parent.control);
  for (int tab : {0, 1}) {
    SCOPED_TRACE(tab == 1 ? "selected" : "normal");
    const int left = tab * 157;
    // The face lies one pixel inside the slot: x from left + 1, y from 2 to 20.
    double label = 100, frame = 100;
    int wrongColour = 0;
    for (int y = 2; y <= 20; ++y) {
      for (int x = left + 5; x <= left + 152; ++x) {
        const COLORREF face = ::GetPixel(dc, x, y);
        label = std::min(label, ContrastRatio(face, RGB(255, 255, 255)));
        wrongColour += Appearance(face) != (tab == 1 ? 'B' : 'G');
      }
      frame = std::min(frame, ContrastRatio(::GetPixel(dc, left, y), ::GetPixel(dc, left + 1, y)));
    }
    for (int x = left + 1; x <= left + 152; ++x)
      frame = std::min(frame, ContrastRatio(::GetPixel(dc, x, 1), ::GetPixel(dc, x, 2)));
    EXPECT_GE(label, 3.0) << "the lowest contrast of a white label";
    EXPECT_GE(frame, 1.2) << "the frame's shadow edge against the face";
    EXPECT_EQ(0, wrongColour) << "face pixels in the other tab's colour";
  }
  COLORREF marks[2] = {};
  for (int tab : {3, 4}) {
    SCOPED_TRACE(tab == 3 ? "news" : "mention");
    COLORREF& mark = marks[tab - 3];
    int pixels = 0, labelPixels = 0, colours = 0, rightmost = 0;
    double contrast = 100;
    for (int y = 0; y < 21; ++y) {
      for (int x = 0; x < 154; ++x) {
        const COLORREF behind = ::GetPixel(dc, 314 + x, 1 + y);
        const COLORREF shown = ::GetPixel(dc, tab % 4 * 157 + x, tab / 4 * 22 + 1 + y);
        if (shown == behind) continue;
        if (pixels++ == 0) mark = shown;
        colours += shown != mark;
        labelPixels += behind == RGB(255, 255, 255);
        rightmost = std::max(rightmost, x);
        contrast = std::min(contrast, ContrastRatio(shown, behind));
      }
    }
    EXPECT_GE(pixels, 40) << "a mark one sees at a glance";
    EXPECT_EQ(0, colours) << "pixels of the mark in another colour";
    EXPECT_EQ(152, rightmost) << "the mark ends at the face's right-hand edge";
    EXPECT_GE(contrast, 3.0) << "against the face behind it";
    EXPECT_EQ(0, labelPixels) << "label pixels changed";
    EXPECT_EQ('?', Appearance(mark)) << "neither grey nor the selected blue";
  }
  ::ReleaseDC(parent.control, dc);
  EXPECT_NE(marks[0], marks[1]) << "news and a mention in colours of their own";
}

INSTANTIATE_TEST_SUITE_P(Looks, TabBarLook, testing::Values(true));

// The system's colours for the plain tabs, set for one test and put back.
struct ColourSet {
  const char* name;
  std::vector<std::pair<int, COLORREF>> colours;  // empty: the system's own
};

const std::vector<ColourSet> kColourSets = {
    {"the system's own colours", {}},
    {"the high-contrast black scheme",
     {{COLOR_BTNFACE, RGB(0, 0, 0)},
      {COLOR_BTNTEXT, RGB(255, 255, 255)},
      {COLOR_HIGHLIGHT, RGB(0x1A, 0xEB, 0xFF)},
      {COLOR_HIGHLIGHTTEXT, RGB(0, 0, 0)}}},
    {"Windows 7's colours",
     {{COLOR_BTNFACE, RGB(0xF0, 0xF0, 0xF0)},
      {COLOR_BTNTEXT, RGB(0, 0, 0)},
      {COLOR_HIGHLIGHT, RGB(0x33, 0x99, 0xFF)},
      {COLOR_HIGHLIGHTTEXT, RGB(255, 255, 255)}}},
};

class TabBarPlainLook : public TabBarTest, public testing::WithParamInterface<ColourSet> {
 protected:
  void SetUp() override {
    TabBarTest::SetUp();
    for (const auto& colour : GetParam().colours)
      elements.push_back(colour.first), old.push_back(::GetSysColor(colour.first)),
          set.push_back(colour.second);
    ::SetSysColors(static_cast<int>(elements.size()), elements.data(), set.data());
  }
  void TearDown() override {
    ::SetSysColors(static_cast<int>(elements.size()), elements.data(), old.data());
  }
  std::vector<int> elements;
  std::vector<COLORREF> old, set;
};

// Plain tabs, as drawn in high contrast or without the faces: each tab's
// face is the system's (button face, the selected one highlight) and its
// label reads at 3:1 or more; the marks of
// news and a mention stand 3:1 apart from the face and from each other.
TEST_P(TabBarPlainLook, TakesTheSystemsColoursAndKeepsLabelsAndMarksLegible) {
  SCOPED_TRACE(GetParam().name);
  ASSERT_FALSE(bar.LoadTabBitmap(999));
  for (int i = 0; i < 4; ++i) ASSERT_TRUE(bar.AddTab("Orlaネットワーク", &pages[i]));
  ASSERT_TRUE(bar.SetCurSel(1));
  ASSERT_TRUE(bar.MarkTab(2, TabMark::kNews));
  ASSERT_TRUE(bar.MarkTab(3, TabMark::kMention));
  ::InvalidateRect(parent.control, nullptr, TRUE);
  ::UpdateWindow(parent.control);
  HDC dc = ::GetDC(parent.control);
  COLORREF marks[2] = {};
  for (int tab = 0; tab < 4; ++tab) {
    SCOPED_TRACE(tab);
    const int left = tab * 157;
    // Below the mark and right of any label: the face alone.
    const COLORREF face = ::GetPixel(dc, left + 150, 19);
    EXPECT_EQ(::GetSysColor(tab == 1 ? COLOR_HIGHLIGHT : COLOR_BTNFACE), face);
    int legible = 0;
    for (int y = 5; y <= 20; ++y)
      for (int x = left + 5; x <= left + 110; ++x)
        legible += ContrastRatio(::GetPixel(dc, x, y), face) >= 3.0;
    EXPECT_GT(legible, 20) << "label pixels that read at 3:1 against the face";
    if (tab >= 2) {
      marks[tab - 2] = ::GetPixel(dc, left + 140, 2);
      EXPECT_GE(ContrastRatio(marks[tab - 2], face), 3.0) << "the mark against its face";
    }
  }
  ::ReleaseDC(parent.control, dc);
  EXPECT_NE(marks[0], marks[1]) << "news and a mention in colours of their own";
}

INSTANTIATE_TEST_SUITE_P(ColourSets, TabBarPlainLook, testing::ValuesIn(kColourSets));

// ---- labels --------------------------------------------------------------------

// A tab's slot as painted on screen, 154 x 21 from its top-left corner.
const int kSlotWidth = 154, kSlotHeight = 21;

// Where the pixels of two slots differ, as a picture of '.' and 'x'.
std::string Differences(HDC a, int ax, HDC b, int bx) {
  std::string picture;
  for (int y = 0; y < kSlotHeight; ++y, picture += '\n')
    for (int x = 0; x < kSlotWidth; ++x)
      picture += ::GetPixel(a, ax + x, 1 + y) == ::GetPixel(b, bx + x, 1 + y) ? '.' : 'x';
  return picture;
}

class TabBarLabel : public TabBarTest, public testing::WithParamInterface<const char*> {};

// The label against the same face with no label, lettered here as it should
// look: 12-pixel bold "ＭＳ Ｐゴシック" in white, one line, "&" drawn as itself,
// cut with an ellipsis where it does not fit.
TEST_P(TabBarLabel, IsDrawnInTheLabelFontAsWrittenAndCutWithAnEllipsis) {
  ASSERT_NO_FATAL_FAILURE(Prepare(true, 0, -1));
  ASSERT_TRUE(bar.AddTab("", &pages[0]));
  ASSERT_TRUE(bar.AddTab(GetParam(), &pages[1]));
  ::UpdateWindow(parent.control);
  HDC shown = ::GetDC(parent.control);
  HDC expected = ::CreateCompatibleDC(shown);
  HBITMAP bitmap = ::CreateCompatibleBitmap(shown, kSlotWidth, kSlotHeight + 1);
  HGDIOBJ oldBitmap = ::SelectObject(expected, bitmap);
  ::BitBlt(expected, 0, 1, kSlotWidth, kSlotHeight, shown, 0, 1, SRCCOPY);
  HFONT font =
      ::CreateFontA(12, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_STROKE_PRECIS,
                    CLIP_STROKE_PRECIS, PROOF_QUALITY, 0, "ＭＳ Ｐゴシック");
  HGDIOBJ oldFont = ::SelectObject(expected, font);
  ::SetBkMode(expected, TRANSPARENT);
  ::SetTextColor(expected, RGB(255, 255, 255));
  RECT text = {5, 2, kSlotWidth, kSlotHeight + 1};
  ::DrawTextA(expected, GetParam(), -1, &text,
              DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
  std::string same;
  for (int y = 0; y < kSlotHeight; ++y) same += std::string(kSlotWidth, '.') + '\n';
  EXPECT_EQ(same, Differences(expected, 0, shown, 157));
  ::SelectObject(expected, oldFont);
  ::DeleteObject(font);
  ::SelectObject(expected, oldBitmap);
  ::DeleteObject(bitmap);
  ::DeleteDC(expected);
  ::ReleaseDC(parent.control, shown);
}

INSTANTIATE_TEST_SUITE_P(Labels, TabBarLabel,
                         testing::Values("R&D", "#a-channel-name-far-too-long-for-one-tab",
                                         "Orlaネットワーク"));

}  // namespace
