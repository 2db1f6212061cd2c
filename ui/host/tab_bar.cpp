// The tab bar: slots and their geometry, adding, removing and selecting tabs,
// painting from the one memory DC, hit-testing clicks and telling the parent.
// See tab_bar.h for ownership and threads.
#include "ui/host/tab_bar.h"

#include <oleacc.h>

#include <new>

#include "ui/core/colour_contrast.h"
#include "ui/core/colours.h"
#include "ui/host/tab_bar_accessible.h"
#include "ui/ui_messages.h"

namespace {

const UINT kLabelFormat = DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS;
// A tab is its face framed by a 1-pixel edge on each side: W + 2 wide,
// H/2 + 2 high.
const int kEdge = 1;
const int kFrame = 2 * kEdge;
// Pixels between two columns of tabs (a column is W + 5).
const int kColumnGap = 3;
// Pixels between two rows of tabs (a row is H/2 + 3).
const int kRowGap = 1;
// The bar is this much wider than its row of faces.
const int kBarExtraWidth = 20;
// Without the face bitmap, tabs are laid out as for the shipped faces and
// drawn in plain colours.
const int kPlainFaceWidth = 152;
const int kPlainFaceHeight = 38;
// A mark: a block in the face's top right-hand corner, where the faces are
// darkest. Three rows keep it above the label, whose 12-pixel cell is
// centred in the 20 rows below the frame's top edge.
const int kMarkWidth = 32;
const int kMarkHeight = 3;
// What sets text or a mark apart from what is behind it (the accessibility
// guidelines' minimum for large text and graphics).
const double kLegibleContrast = 3.0;

bool HighContrastOn() {
  HIGHCONTRASTA settings = {};
  settings.cbSize = sizeof settings;
  return ::SystemParametersInfoA(SPI_GETHIGHCONTRAST, sizeof settings, &settings, 0) &&
         (settings.dwFlags & HCF_HIGHCONTRASTON) != 0;
}

// The selected plain tab's label: the colour the system pairs with its
// highlight. Outside high contrast a pair that reads under 3:1 (white on
// the lighter highlights of some schemes) gives way to black or white,
// whichever reads better; in high contrast the user's colours stand.
COLORREF SelectedLabelColour(COLORREF highlight, bool highContrast) {
  const COLORREF paired = ::GetSysColor(COLOR_HIGHLIGHTTEXT);
  if (highContrast || ContrastRatio(paired, highlight) >= kLegibleContrast) return paired;
  return ContrastRatio(kBlack, highlight) > ContrastRatio(kWhite, highlight) ? kBlack : kWhite;
}

// A mark on a plain face: its own bright colour where that stands apart
// from the face, its darker counterpart on a light face.
COLORREF PlainMarkColour(TabMark mark, COLORREF face) {
  const COLORREF bright = mark == TabMark::kMention ? kMentionMark : kNewsMark;
  if (ContrastRatio(bright, face) >= kLegibleContrast) return bright;
  return mark == TabMark::kMention ? kMentionMarkOnLight : kNewsMarkOnLight;
}

}  // namespace

CTabBar::CTabBar()
    : m_faceWidth(0),
      m_faceHeight(0),
      m_previousBitmap(nullptr),
      m_tabCount(0),
      m_selectedTab(-1),
      m_eraseFreedSlot(0),
      m_accessible(nullptr) {}

CTabBar::~CTabBar() {
  // A bar whose window was never destroyed through it (a test's bare
  // control) lets go of its accessible object here.
  if (m_accessible != nullptr) {
    m_accessible->Disconnect();
    m_accessible->Release();
  }
  // Normally OnDestroy has done this; without it the face bitmap would still
  // be selected when it is freed, and a selected bitmap cannot be deleted.
  if (m_previousBitmap != nullptr) ::SelectObject(m_memoryDC, m_previousBitmap);
}

BOOL CTabBar::LoadTabBitmap(UINT bitmapId) {
  // m_faceWidth stays 0 until the slots are laid out (for the faces, or
  // plain): that is what "loaded" means to every other operation, and
  // loading twice would leave tabs laid out for the old faces.
  if (m_faceWidth != 0) return FALSE;
  // Faces that cannot be had cost the tabs their looks, never the tabs: the
  // page host's pages are reached through them.
  const bool faces = LoadFaces(bitmapId);
  if (!faces) {
    m_faceWidth = kPlainFaceWidth;
    m_faceHeight = kPlainFaceHeight;
  }

  // Without the font the labels come out in the DC's default font; the tabs
  // still work, so this is no reason to fail.
  m_labelFont.CreateFont(12, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                         OUT_STROKE_PRECIS, CLIP_STROKE_PRECIS, PROOF_QUALITY, 0,
                         "ＭＳ Ｐゴシック");

  const int half = m_faceHeight / 2;
  for (int slot = 0; slot < kMaxTabs; ++slot) {
    const int column = slot % kTabsPerRow;
    const int row = slot / kTabsPerRow;
    TabEntry& tab = m_tabs[slot];
    tab.label.Empty();
    tab.page = nullptr;
    // One pixel down from the control's top edge, which stays undrawn.
    tab.rect.left = column * (m_faceWidth + kFrame + kColumnGap);
    tab.rect.top = row * RowHeight() + 1;
    tab.rect.right = tab.rect.left + m_faceWidth + kFrame;
    tab.rect.bottom = tab.rect.top + half + kFrame;
  }
  // Until the first tab sets it by rows: both faces, framed, and a row gap.
  SetWindowPos(nullptr, 0, 0, BarWidth(), m_faceHeight + kFrame + kRowGap,
               SWP_NOMOVE | SWP_NOZORDER);
  return faces ? TRUE : FALSE;
}

bool CTabBar::LoadFaces(UINT bitmapId) {
  if (!m_faceBitmap.LoadBitmap(bitmapId)) return false;
  BITMAP info;
  if (m_faceBitmap.GetBitmap(&info) == 0 || info.bmWidth <= 0 || info.bmHeight <= 1) return false;
  if (!m_memoryDC.CreateCompatibleDC(nullptr)) return false;
  HGDIOBJ previous = ::SelectObject(m_memoryDC, m_faceBitmap);
  if (previous == nullptr || previous == HGDI_ERROR) return false;
  m_previousBitmap = static_cast<HBITMAP>(previous);
  m_faceWidth = info.bmWidth;
  m_faceHeight = info.bmHeight;
  return true;
}

BOOL CTabBar::AddTab(LPCSTR label, CWnd* page, const wchar_t* description) {
  // Before LoadTabBitmap the slots have no rectangles: a tab there could be
  // neither drawn nor clicked, so none is taken.
  if (label == nullptr || m_tabCount >= kMaxTabs || m_faceWidth == 0) return FALSE;
  const int n = m_tabCount;
  m_tabs[n].label = label;
  m_tabs[n].page = page;
  m_tabs[n].description = description;
  const bool opensRow = n % kTabsPerRow == 0;
  if (opensRow) ResizeToRows(n / kTabsPerRow + 1);
  ++m_tabCount;
  InvalidateAll();
  RaiseEvent(EVENT_OBJECT_REORDER, -1);
  if (opensRow) NotifyParent(TABBAR_RESIZED, 0);
  return TRUE;
}

BOOL CTabBar::RemoveTab(int index) {
  if (index < 0 || index >= m_tabCount) return FALSE;
  const int last = m_tabCount - 1;
  for (int i = index; i < last; ++i) {
    m_tabs[i].label = m_tabs[i + 1].label;
    m_tabs[i].page = m_tabs[i + 1].page;
    m_tabs[i].mark = m_tabs[i + 1].mark;
    m_tabs[i].description = m_tabs[i + 1].description;
  }
  m_tabs[last].label.Empty();
  m_tabs[last].page = nullptr;
  m_tabs[last].mark = TabMark::kNone;
  m_tabs[last].description = nullptr;
  if (m_selectedTab == index) m_selectedTab = -1;
  m_eraseFreedSlot = 1;
  m_tabCount = last;
  const bool emptiesRow = m_tabCount % kTabsPerRow == 0;
  if (emptiesRow) {
    ResizeToRows(m_tabCount / kTabsPerRow);
    // The vacated slot now lies outside the control.
    m_eraseFreedSlot = 0;
  }
  InvalidateAll();
  RaiseEvent(EVENT_OBJECT_REORDER, -1);
  if (emptiesRow) NotifyParent(TABBAR_RESIZED, 0);
  return TRUE;
}

CWnd* CTabBar::GetTabPage(int index) const {
  return index >= 0 && index < m_tabCount ? m_tabs[index].page : nullptr;
}

BOOL CTabBar::SetCurSel(int index) {
  if (index >= m_tabCount) return FALSE;
  const bool changed = index != m_selectedTab;
  m_selectedTab = index;
  // However the tab came to be shown, its news has been seen.
  const bool hadMark = index >= 0 && m_tabs[index].mark != TabMark::kNone;
  if (index >= 0) m_tabs[index].mark = TabMark::kNone;
  InvalidateAll();
  if (hadMark) RaiseEvent(EVENT_OBJECT_DESCRIPTIONCHANGE, index);
  // A reader hears the tab now shown, whichever way it came to be (a click,
  // a key, a page opened or closed). Only the selection: the keyboard focus
  // is never the bar's but the shown page's, and the system tells of it.
  if (changed && index >= 0) RaiseEvent(EVENT_OBJECT_SELECTION, index);
  return TRUE;
}

BOOL CTabBar::MarkTab(int index, TabMark mark) {
  if (index < 0 || index >= m_tabCount || index == m_selectedTab) return FALSE;
  TabEntry& tab = m_tabs[index];
  // A busy hidden channel's every line lands here: once marked, it costs a
  // comparison, no paint and no layout.
  if (mark <= tab.mark) return TRUE;
  tab.mark = mark;
  // The slot is painted whole (face, frame, label), so nothing is erased.
  if (m_hWnd != nullptr) InvalidateRect(&tab.rect, FALSE);
  RaiseEvent(EVENT_OBJECT_DESCRIPTIONCHANGE, index);
  return TRUE;
}

TabMark CTabBar::GetTabMark(int index) const {
  return index >= 0 && index < m_tabCount ? m_tabs[index].mark : TabMark::kNone;
}

const char* CTabBar::GetTabLabel(int index) const {
  return index >= 0 && index < m_tabCount ? static_cast<const char*>(m_tabs[index].label) : "";
}

const wchar_t* CTabBar::GetTabDescription(int index) const {
  return index >= 0 && index < m_tabCount ? m_tabs[index].description : nullptr;
}

CRect CTabBar::GetTabRect(int index) const {
  return index >= 0 && index < m_tabCount ? m_tabs[index].rect : CRect(0, 0, 0, 0);
}

int CTabBar::TabAt(CPoint point) const {
  // Left and top edges inside, right and bottom outside: the gaps between
  // tabs belong to no tab.
  for (int i = 0; i < m_tabCount; ++i)
    if (m_tabs[i].rect.PtInRect(point)) return i;
  return -1;
}

BEGIN_MESSAGE_MAP(CTabBar, CStatic)
  ON_WM_PAINT()
  ON_WM_DESTROY()
  ON_WM_LBUTTONDOWN()
  ON_MESSAGE(WM_GETOBJECT, OnGetObject)
END_MESSAGE_MAP()

void CTabBar::OnPaint() {
  CPaintDC dc(this);
  const int saved = dc.SaveDC();
  dc.SetBkMode(TRANSPARENT);
  dc.SetTextColor(kWhite);
  // RestoreDC puts the DC's own font back.
  if (m_labelFont.GetSafeHandle() != nullptr) ::SelectObject(dc, m_labelFont);
  // System colours are read per paint (the user may change them) and drawn
  // as opaque empty text: no pen or brush is created. Plain tabs take the
  // system's colours: the label pairs the platform documents, so a
  // high-contrast scheme is followed as the user set it.
  const bool highContrast = HighContrastOn();
  TabColours colours = {};
  colours.plain = highContrast || m_previousBitmap == nullptr;
  colours.shadow = ::GetSysColor(COLOR_BTNSHADOW);
  colours.highlight = ::GetSysColor(COLOR_BTNHIGHLIGHT);
  colours.face = ::GetSysColor(COLOR_BTNFACE);
  colours.label = ::GetSysColor(COLOR_BTNTEXT);
  colours.selectedFace = ::GetSysColor(COLOR_HIGHLIGHT);
  colours.selectedLabel = SelectedLabelColour(colours.selectedFace, highContrast);
  for (int i = 0; i < m_tabCount; ++i) PaintTab(dc, i, colours);
  if (m_eraseFreedSlot && m_tabCount < kMaxTabs) {
    // The control erases no background, so a removed tab would stay on
    // screen. Every free slot of the last row is cleared, not only the one
    // slot at the count: two removals before one paint vacate two slots.
    const int rowEnd = (m_tabCount / kTabsPerRow + 1) * kTabsPerRow;
    for (int slot = m_tabCount; slot < rowEnd; ++slot)
      dc.FillSolidRect(&m_tabs[slot].rect, colours.face);
    m_eraseFreedSlot = 0;
  }
  dc.RestoreDC(saved);
}

void CTabBar::PaintTab(CDC& dc, int i, const TabColours& colours) {
  const CRect& slot = m_tabs[i].rect;
  const int width = slot.Width();
  const int height = slot.Height();
  const bool selected = i == m_selectedTab;
  if (!colours.plain) {
    dc.BitBlt(slot.left + kEdge, slot.top + kEdge, width - kFrame, height - kFrame, &m_memoryDC, 0,
              selected ? m_faceHeight / 2 : 0, SRCCOPY);
  } else {
    dc.FillSolidRect(slot.left + kEdge, slot.top + kEdge, width - kFrame, height - kFrame,
                     selected ? colours.selectedFace : colours.face);
    dc.SetTextColor(selected ? colours.selectedLabel : colours.label);
  }
  dc.FillSolidRect(slot.left, slot.top, width - kEdge, kEdge, colours.shadow);
  dc.FillSolidRect(slot.left, slot.top, kEdge, height - kEdge, colours.shadow);
  dc.FillSolidRect(slot.left, slot.bottom - kEdge, width, kEdge, colours.highlight);
  dc.FillSolidRect(slot.right - kEdge, slot.top, kEdge, height, colours.highlight);
  if (m_tabs[i].mark != TabMark::kNone) {
    const COLORREF mark = colours.plain ? PlainMarkColour(m_tabs[i].mark, colours.face)
                          : m_tabs[i].mark == TabMark::kMention ? kMentionMark
                                                                : kNewsMark;
    dc.FillSolidRect(slot.right - kEdge - kMarkWidth, slot.top + kEdge, kMarkWidth, kMarkHeight,
                     mark);
  }
  CRect text(slot.left + 5, slot.top + kEdge, slot.right, slot.bottom);
  dc.DrawText(m_tabs[i].label, &text, kLabelFormat);
}

void CTabBar::OnDestroy() {
  CStatic::OnDestroy();
  // A reader may hold the accessible object long after: it must never reach
  // this bar again.
  if (m_accessible != nullptr) {
    m_accessible->Disconnect();
    m_accessible->Release();
    m_accessible = nullptr;
  }
  // The face bitmap must not be selected when the DC and it are freed.
  if (m_previousBitmap != nullptr) {
    ::SelectObject(m_memoryDC, m_previousBitmap);
    m_previousBitmap = nullptr;
  }
}

void CTabBar::OnLButtonDown(UINT flags, CPoint point) {
  const int tab = TabAt(point);
  if (tab >= 0) ClickTab(tab);
  CStatic::OnLButtonDown(flags, point);
}

LRESULT CTabBar::OnGetObject(WPARAM flags, LPARAM objectId) {
  // The object id is a DWORD whatever the width of LPARAM.
  if (static_cast<DWORD>(objectId) != static_cast<DWORD>(OBJID_CLIENT)) return Default();
  if (m_accessible == nullptr) m_accessible = new (std::nothrow) CTabBarAccessible(this);
  if (m_accessible == nullptr) return Default();
  const LRESULT reference = ::LresultFromObject(__uuidof(IAccessible), flags, m_accessible);
  // A reference that could not be made: the static control's own answer.
  return reference > 0 ? reference : Default();
}

void CTabBar::ClickTab(int index) {
  if (index < 0 || index >= m_tabCount) return;
  SetCurSel(index);
  NotifyParent(TABBAR_CLICKED, index);
}

void CTabBar::ResizeToRows(int rows) {
  SetWindowPos(nullptr, 0, 0, BarWidth(), RowHeight() * rows,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOREDRAW);
}

int CTabBar::BarWidth() const { return kTabsPerRow * m_faceWidth + kBarExtraWidth; }

int CTabBar::RowHeight() const { return m_faceHeight / 2 + kFrame + kRowGap; }

void CTabBar::NotifyParent(unsigned code, int index) {
  ::SendMessageA(::GetParent(m_hWnd), WM_TABBAR_NOTIFY, code, index);
}

void CTabBar::RaiseEvent(DWORD event, int index) {
  // Cheap when nobody listens: the system keeps the hooks.
  if (m_hWnd != nullptr)
    ::NotifyWinEvent(event, m_hWnd, OBJID_CLIENT, index < 0 ? CHILDID_SELF : index + 1);
}

void CTabBar::InvalidateAll() {
  // A null window handle would invalidate every window on the desktop.
  if (m_hWnd != nullptr) Invalidate(TRUE);
}
