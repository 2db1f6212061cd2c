// The tab bar: slots and their geometry, adding, removing and selecting tabs,
// painting from the one memory DC, hit-testing clicks and telling the parent.
// See tab_bar.h for ownership and threads.
#include "ui/tab_bar.h"

#include "ui/colours.h"
#include "ui/ui_messages.h"

namespace {

const UINT kLabelFormat = DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS;
// Pixels between two columns of tabs (a tab is W + 2 wide, a column W + 5).
const int kColumnGap = 3;
// Pixels between two rows of tabs (a tab is H/2 + 2 high, a row H/2 + 3).
const int kRowGap = 1;

}  // namespace

CTabBar::CTabBar()
    : m_faceWidth(0),
      m_faceHeight(0),
      m_previousBitmap(nullptr),
      m_tabCount(0),
      m_selectedTab(-1),
      m_eraseFreedSlot(0) {}

CTabBar::~CTabBar() {
  // Normally OnDestroy has done this; without it the face bitmap would still
  // be selected when it is freed, and a selected bitmap cannot be deleted.
  if (m_previousBitmap != nullptr) ::SelectObject(m_memoryDC, m_previousBitmap);
}

BOOL CTabBar::LoadTabBitmap(UINT bitmapId) {
  // m_faceWidth stays 0 until the faces are ready to paint: that is what
  // "loaded" means to every other operation, and loading twice would leave
  // tabs laid out for the old faces.
  if (m_faceWidth != 0) return FALSE;
  if (!m_faceBitmap.LoadBitmap(bitmapId)) return FALSE;
  BITMAP info;
  if (m_faceBitmap.GetBitmap(&info) == 0 || info.bmWidth <= 0 || info.bmHeight <= 1) return FALSE;
  if (!m_memoryDC.CreateCompatibleDC(nullptr)) return FALSE;
  HGDIOBJ previous = ::SelectObject(m_memoryDC, m_faceBitmap);
  if (previous == nullptr || previous == HGDI_ERROR) return FALSE;
  m_previousBitmap = static_cast<HBITMAP>(previous);
  m_faceWidth = info.bmWidth;
  m_faceHeight = info.bmHeight;

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
    tab.rect.left = column * (m_faceWidth + 2 + kColumnGap);
    tab.rect.top = row * (half + 2 + kRowGap) + 1;
    tab.rect.right = tab.rect.left + m_faceWidth + 2;
    tab.rect.bottom = tab.rect.top + half + 2;
  }
  SetWindowPos(nullptr, 0, 0, kTabsPerRow * m_faceWidth + 20, m_faceHeight + 3,
               SWP_NOMOVE | SWP_NOZORDER);
  return TRUE;
}

BOOL CTabBar::AddTab(LPCSTR label, CWnd* page) {
  // Before LoadTabBitmap the slots have no rectangles: a tab there could be
  // neither drawn nor clicked, so none is taken.
  if (label == nullptr || m_tabCount >= kMaxTabs || m_faceWidth == 0) return FALSE;
  const int n = m_tabCount;
  m_tabs[n].label = label;
  m_tabs[n].page = page;
  const bool opensRow = n % kTabsPerRow == 0;
  if (opensRow) ResizeToRows(n / kTabsPerRow + 1);
  ++m_tabCount;
  InvalidateAll();
  if (opensRow) NotifyParent(TABBAR_RESIZED, 0);
  return TRUE;
}

BOOL CTabBar::RemoveTab(int index) {
  if (index < 0 || index >= m_tabCount) return FALSE;
  const int last = m_tabCount - 1;
  for (int i = index; i < last; ++i) {
    m_tabs[i].label = m_tabs[i + 1].label;
    m_tabs[i].page = m_tabs[i + 1].page;
  }
  m_tabs[last].label.Empty();
  m_tabs[last].page = nullptr;
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
  if (emptiesRow) NotifyParent(TABBAR_RESIZED, 0);
  return TRUE;
}

CWnd* CTabBar::GetTabPage(int index) const {
  return index >= 0 && index < m_tabCount ? m_tabs[index].page : nullptr;
}

BOOL CTabBar::SetCurSel(int index) {
  if (index >= m_tabCount) return FALSE;
  m_selectedTab = index;
  InvalidateAll();
  return TRUE;
}

BEGIN_MESSAGE_MAP(CTabBar, CStatic)
  ON_WM_PAINT()
  ON_WM_DESTROY()
  ON_WM_LBUTTONDOWN()
END_MESSAGE_MAP()

void CTabBar::OnPaint() {
  CPaintDC dc(this);
  const int saved = dc.SaveDC();
  dc.SetBkMode(TRANSPARENT);
  dc.SetTextColor(kWhite);
  // RestoreDC puts the DC's own font back.
  if (m_labelFont.GetSafeHandle() != nullptr) ::SelectObject(dc, m_labelFont);
  // System colours are read per paint (the user may change them) and drawn
  // as opaque empty text: no pen or brush is created.
  const COLORREF shadow = ::GetSysColor(COLOR_BTNSHADOW);
  const COLORREF highlight = ::GetSysColor(COLOR_BTNHIGHLIGHT);
  const int half = m_faceHeight / 2;
  for (int i = 0; i < m_tabCount; ++i) {
    const CRect& slot = m_tabs[i].rect;
    const int width = slot.Width();
    const int height = slot.Height();
    dc.BitBlt(slot.left + 1, slot.top + 1, width - 2, height - 2, &m_memoryDC, 0,
              i == m_selectedTab ? half : 0, SRCCOPY);
    dc.FillSolidRect(slot.left, slot.top, width - 1, 1, shadow);
    dc.FillSolidRect(slot.left, slot.top, 1, height - 1, shadow);
    dc.FillSolidRect(slot.left, slot.bottom - 1, width, 1, highlight);
    dc.FillSolidRect(slot.right - 1, slot.top, 1, height, highlight);
    CRect text(slot.left + 5, slot.top + 1, slot.right, slot.bottom);
    dc.DrawText(m_tabs[i].label, &text, kLabelFormat);
  }
  if (m_eraseFreedSlot && m_tabCount < kMaxTabs) {
    // The control erases no background, so a removed tab would stay on
    // screen. Every free slot of the last row is cleared, not only the one
    // slot at the count: two removals before one paint vacate two slots.
    const int rowEnd = (m_tabCount / kTabsPerRow + 1) * kTabsPerRow;
    const COLORREF face = ::GetSysColor(COLOR_BTNFACE);
    for (int slot = m_tabCount; slot < rowEnd; ++slot) dc.FillSolidRect(&m_tabs[slot].rect, face);
    m_eraseFreedSlot = 0;
  }
  dc.RestoreDC(saved);
}

void CTabBar::OnDestroy() {
  CStatic::OnDestroy();
  // The face bitmap must not be selected when the DC and it are freed.
  if (m_previousBitmap != nullptr) {
    ::SelectObject(m_memoryDC, m_previousBitmap);
    m_previousBitmap = nullptr;
  }
}

void CTabBar::OnLButtonDown(UINT flags, CPoint point) {
  for (int i = 0; i < m_tabCount; ++i) {
    // Left and top edges inside, right and bottom outside: the gaps between
    // tabs belong to no tab.
    if (m_tabs[i].rect.PtInRect(point)) {
      ClickTab(i);
      break;
    }
  }
  CStatic::OnLButtonDown(flags, point);
}

void CTabBar::ClickTab(int index) {
  if (index < 0 || index >= m_tabCount) return;
  SetCurSel(index);
  NotifyParent(TABBAR_CLICKED, index);
}

void CTabBar::ResizeToRows(int rows) {
  SetWindowPos(nullptr, 0, 0, kTabsPerRow * m_faceWidth + 20, (m_faceHeight / 2 + 3) * rows,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOREDRAW);
}

void CTabBar::NotifyParent(unsigned code, int index) {
  ::SendMessageA(::GetParent(m_hWnd), WM_TABBAR_NOTIFY, code, index);
}

void CTabBar::InvalidateAll() {
  // A null window handle would invalidate every window on the desktop.
  if (m_hWnd != nullptr) Invalidate(TRUE);
}
