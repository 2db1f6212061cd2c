// CTabBar: the self-drawn strip of tabs at the top of the page host, one tab
// per page. Each tab is a copy of one face of the face bitmap (top half
// normal, bottom half selected), framed by a 1-pixel sunken edge and lettered
// in white bold text. At most 12 tabs, 4 to a row in up to 3 rows; the bar
// changes its own height a row at a time (never its position) and tells its
// parent with WM_TABBAR_NOTIFY when its height changed (TABBAR_RESIZED) and
// when a tab was clicked (TABBAR_CLICKED, the tab's index in lParam).
//
// It takes over an existing static control created with SS_NOTIFY (so that
// clicks reach it): bind it with DDX_Control or SubclassWindow, then call
// LoadTabBitmap once before adding tabs. Until then it holds no tab and
// refuses to add one. When the faces cannot be loaded, the tabs work all the
// same, laid out as for the shipped faces and drawn in plain colours. A tab
// stores a page pointer it does not own and hands it back; the bar knows
// nothing else of pages.
//
// A tab that is not selected may carry a mark (news, or a mention), drawn as
// a small block in its face's top right-hand corner, above where any label
// goes; selecting the tab clears it, and marks move with their tabs.
//
// With the system's high-contrast mode on (or without the faces) the tabs
// are plain, in the system's colours: a tab's label in COLOR_BTNTEXT on
// COLOR_BTNFACE, the selected one's in COLOR_HIGHLIGHTTEXT on
// COLOR_HIGHLIGHT, and the marks in colours that stand 3:1 apart from the
// face (core/tab_colours.h).
//
// Screen readers read the bar as a page tab list (tab_bar_accessible.h),
// handed out for WM_GETOBJECT, and follow it by the events the bar raises:
// selection for the tab newly shown, description change for a mark set or
// cleared, reorder for a tab added or removed. The bar is no keyboard stop
// and raises no focus event: the keys that switch tabs (the frame's) leave
// the focus in the page shown, and F6 goes round that page's panes.
//
// Threads: user-interface thread only. Notifications are synchronous sends:
// the parent has handled them when AddTab, RemoveTab or the click returns.
#pragma once

#include "framework/afxwin.h"
#include "ui/core/tab_mark.h"

class CTabBarAccessible;

class CTabBar : public CStatic {
 public:
  static const int kMaxTabs = 12;
  static const int kTabsPerRow = 4;

  CTabBar();
  ~CTabBar() override;

  // Loads the face bitmap (both faces stacked, normal on top), creates the
  // memory DC and the label font, lays out the 12 slots and sizes the control
  // to 4 x W + 20 by H + 3. FALSE when the faces could not be loaded: the
  // slots are laid out all the same, for plain faces of 152 x 38. Once only:
  // a second call returns FALSE and changes nothing.
  BOOL LoadTabBitmap(UINT bitmapId);
  // Appends a tab. FALSE (nothing changes) for a null label, with 12 tabs, or
  // before LoadTabBitmap. A null page is accepted. The selection stays. A
  // description (a literal: kept, not copied) says what kind of page the tab
  // holds to a screen reader, before any mark's.
  BOOL AddTab(LPCSTR label, CWnd* page, const wchar_t* description = nullptr);
  // Removes a tab; later tabs move one slot forward with their marks. A
  // selection on another
  // tab keeps its number (the caller selects afresh); removing the selected
  // tab leaves none selected. FALSE for an index outside the tabs.
  BOOL RemoveTab(int index);
  int GetTabCount() const { return m_tabCount; }
  // The page of a tab; null outside 0 to count - 1.
  CWnd* GetTabPage(int index) const;
  // Selects and repaints, never notifies, and clears the tab's mark. FALSE
  // for an index not below the count; a negative index is taken and leaves
  // no tab drawn as selected.
  BOOL SetCurSel(int index);
  int GetCurSel() const { return m_selectedTab; }
  // What a click on the tab does: selects it, then TABBAR_CLICKED to the
  // parent. Nothing for an index outside the tabs.
  void ClickTab(int index);
  // Raises the mark of a tab that is not selected; a weaker mark than the
  // tab's own changes nothing. Only a raised mark repaints, and only that
  // tab. FALSE (nothing changes) for the selected tab or an index outside
  // the tabs.
  BOOL MarkTab(int index, TabMark mark);
  // kNone outside the tabs.
  TabMark GetTabMark(int index) const;
  // The label as drawn; "" outside the tabs.
  const char* GetTabLabel(int index) const;
  // The description AddTab was given; null for none and outside the tabs.
  const wchar_t* GetTabDescription(int index) const;
  // The tab's slot in client coordinates; empty outside the tabs.
  CRect GetTabRect(int index) const;
  // The tab under a point of the client area; -1 for none (the gaps, an
  // empty slot).
  int TabAt(CPoint point) const;

 protected:
  afx_msg void OnPaint();
  afx_msg void OnDestroy();
  afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
  // OBJID_CLIENT: the bar's accessible object; anything else as the static
  // control answers.
  afx_msg LRESULT OnGetObject(WPARAM flags, LPARAM objectId);

 private:
  struct TabEntry {
    CString label;                  // "" in a free slot
    CWnd* page = nullptr;           // not owned; null in a free slot
    const wchar_t* description = nullptr;
    TabMark mark = TabMark::kNone;  // kNone in a free slot and on the selected tab
    CRect rect;                     // the slot, in client coordinates; fixed per slot
  };

  // Sets the control's height (its width stays 4 x W + 20) without moving,
  // re-ordering or redrawing it.
  // What a paint draws the tabs in, read once per paint.
  struct TabColours {
    bool plain;  // the system's colours, not the faces
    COLORREF shadow, highlight, face, label, selectedFace, selectedLabel;
  };
  void PaintTab(CDC& dc, int index, const TabColours& colours);
  void ResizeToRows(int rows);
  // 4 x W + 20, whatever the rows.
  int BarWidth() const;
  // A tab's height and the gap below it: H/2 + 3.
  int RowHeight() const;
  // The face bitmap in the memory DC; false when any step failed.
  bool LoadFaces(UINT bitmapId);
  void NotifyParent(unsigned code, int index);
  void InvalidateAll();
  // An accessibility event for the bar (index -1) or a tab.
  void RaiseEvent(DWORD event, int index);

  int m_faceWidth;
  int m_faceHeight;  // both faces together
  CBitmap m_faceBitmap;
  HBITMAP m_previousBitmap;  // selected in m_memoryDC before the faces
  CDC m_memoryDC;            // holds m_faceBitmap selected for every paint
  CFont m_labelFont;
  TabEntry m_tabs[kMaxTabs];
  int m_tabCount;
  int m_selectedTab;     // -1 for none
  int m_eraseFreedSlot;  // the next paint clears the slot(s) a removal vacated
  // Made on the first WM_GETOBJECT, disconnected when the window goes; one
  // reference held here, others by clients.
  CTabBarAccessible* m_accessible;

  DECLARE_MESSAGE_MAP()
};
