// Control wrappers: CStatic, CButton, CEdit, CListCtrl, CRichEditCtrl. Each
// operation sends one message to the control. Bind them to dialog controls
// with DDX_Control or SubclassWindow. UI thread only.
#pragma once

#include "framework/afxwnd.h"

class AFX_API CStatic : public CWnd {
 public:
  HBITMAP SetBitmap(HBITMAP hBitmap) {
    return reinterpret_cast<HBITMAP>(
        SendMessage(STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(hBitmap)));
  }
  HBITMAP GetBitmap() const {
    return reinterpret_cast<HBITMAP>(SendMessage(STM_GETIMAGE, IMAGE_BITMAP, 0));
  }
};

class AFX_API CButton : public CWnd {
 public:
  int GetCheck() const { return static_cast<int>(SendMessage(BM_GETCHECK)); }
  void SetCheck(int check) { SendMessage(BM_SETCHECK, check); }
};

class AFX_API CEdit : public CWnd {
 public:
  void SetLimitText(UINT max) { SendMessage(EM_LIMITTEXT, max); }
  void SetSel(int start, int end, BOOL noScroll = FALSE) {
    SendMessage(EM_SETSEL, start, end);
    if (!noScroll) SendMessage(EM_SCROLLCARET);
  }
  void ReplaceSel(LPCSTR text, BOOL canUndo = FALSE) {
    SendMessage(EM_REPLACESEL, canUndo, reinterpret_cast<LPARAM>(text));
  }
};

class AFX_API CListCtrl : public CWnd {
 public:
  BOOL SetBkColor(COLORREF color) {
    return static_cast<BOOL>(SendMessage(LVM_SETBKCOLOR, 0, color));
  }
  BOOL SetTextColor(COLORREF color) {
    return static_cast<BOOL>(SendMessage(LVM_SETTEXTCOLOR, 0, color));
  }
  BOOL SetTextBkColor(COLORREF color) {
    return static_cast<BOOL>(SendMessage(LVM_SETTEXTBKCOLOR, 0, color));
  }
  int InsertColumn(int column, LPCSTR heading, int format = LVCFMT_LEFT, int width = -1,
                   int subItem = -1);
  int InsertItem(const LVITEMA* pItem) {
    return static_cast<int>(SendMessage(LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(pItem)));
  }
  // A row with text only; the index it got, or -1.
  int InsertItem(int item, LPCSTR text);
  // The era's signature takes a writable text; the text is only read.
  BOOL SetItemText(int nItem, int nSubItem, LPTSTR lpszText);
  // Copies the text into buffer, always terminated; the length copied.
  int GetItemText(int item, int subItem, LPSTR buffer, int length) const;
  CString GetItemText(int item, int subItem) const;
  int GetItemCount() const { return static_cast<int>(SendMessage(LVM_GETITEMCOUNT)); }
  BOOL DeleteItem(int item) { return static_cast<BOOL>(SendMessage(LVM_DELETEITEM, item)); }
  BOOL DeleteAllItems() { return static_cast<BOOL>(SendMessage(LVM_DELETEALLITEMS)); }
  UINT GetItemState(int item, UINT mask) const {
    return static_cast<UINT>(SendMessage(LVM_GETITEMSTATE, item, mask));
  }
  BOOL SetItemState(int item, UINT state, UINT mask);
  int GetNextItem(int item, int flags) const {
    return static_cast<int>(SendMessage(LVM_GETNEXTITEM, item, MAKELPARAM(flags, 0)));
  }
  UINT GetSelectedCount() const { return static_cast<UINT>(SendMessage(LVM_GETSELECTEDCOUNT)); }
};

class AFX_API CRichEditCtrl : public CWnd {
 public:
  BOOL SetDefaultCharFormat(CHARFORMATA& format) {
    return static_cast<BOOL>(
        SendMessage(EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&format)));
  }
  BOOL SetSelectionCharFormat(CHARFORMATA& format) {
    return static_cast<BOOL>(
        SendMessage(EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format)));
  }
  // The previous colour; sysColor nonzero means the system window colour.
  COLORREF SetBackgroundColor(BOOL sysColor, COLORREF color) {
    return static_cast<COLORREF>(SendMessage(EM_SETBKGNDCOLOR, sysColor, color));
  }
  void SetOptions(WORD operation, DWORD flags) { SendMessage(EM_SETOPTIONS, operation, flags); }
  void SetSel(long start, long end) {
    CHARRANGE range = {start, end};
    SendMessage(EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
  }
  void ReplaceSel(LPCSTR text, BOOL canUndo = FALSE) {
    SendMessage(EM_REPLACESEL, canUndo, reinterpret_cast<LPARAM>(text));
  }
  int GetLineCount() const { return static_cast<int>(SendMessage(EM_GETLINECOUNT)); }
  long GetTextLength() const { return static_cast<long>(SendMessage(WM_GETTEXTLENGTH)); }
};
