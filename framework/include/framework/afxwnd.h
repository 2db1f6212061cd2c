// CWnd: a window object bound to its handle, with the process-wide map from
// handles to objects, the framework's window procedure and its dispatch of
// messages through the message maps. CMenu: a thin menu wrapper.
//
// Dispatch: every message of a window owned by a CWnd goes to WindowProc,
// whose OnWndMsg looks it up in the object's message maps (the class's own
// first, then each base class's) and calls the first matching entry's
// handler; WM_COMMAND goes through OnCommand and OnCmdMsg by id and code,
// WM_NOTIFY through OnNotify by the sender's id and the notification code. A
// message no map names goes to DefWindowProc. The handlers below are the
// defaults a derived class's handler calls for the window's own processing:
// each hands the message to Default(), the window's original procedure.
//
// Threads: a window belongs to the thread that created it; call its wrappers
// on that thread. Only SendMessage/PostMessage are meant for other threads.
#pragma once

#include "framework/afxcmd.h"
#include "framework/afxgdi.h"

class CMenu;
class CDataExchange;

class AFX_API CWnd : public CCmdTarget {
  DECLARE_DYNAMIC(CWnd)

 public:
  HWND m_hWnd;

  CWnd();
  ~CWnd() override;

  // The permanent object of a window, or else a temporary wrapper that the
  // thread's idle time deletes; null for a null handle.
  static CWnd* FromHandle(HWND hWnd);
  // The permanent object of a window, or null.
  static CWnd* FromHandlePermanent(HWND hWnd);

  HWND GetSafeHwnd() const { return m_hWnd; }
  operator HWND() const { return m_hWnd; }
  BOOL Attach(HWND hWnd);
  HWND Detach();
  // Routes an existing window's messages through this object.
  BOOL SubclassWindow(HWND hWnd);
  HWND UnsubclassWindow();

  virtual BOOL Create(LPCSTR className, LPCSTR windowName, DWORD style, const RECT& rect,
                      CWnd* pParentWnd, UINT id);
  BOOL CreateEx(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y,
                int width, int height, HWND hWndParent, HMENU hMenuOrId, LPVOID param = nullptr);
  virtual BOOL DestroyWindow();
  virtual BOOL PreCreateWindow(CREATESTRUCTA& cs);
  // Called for each queued message on its way to this window or one of its
  // descendants; nonzero means consumed.
  virtual BOOL PreTranslateMessage(MSG* pMsg);

  LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
    return ::SendMessageA(m_hWnd, message, wParam, lParam);
  }
  BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
    return ::PostMessageA(m_hWnd, message, wParam, lParam);
  }
  // The current message, handed to the window's original procedure.
  LRESULT Default();

  // Style, text and identity.
  DWORD GetStyle() const { return static_cast<DWORD>(::GetWindowLongA(m_hWnd, GWL_STYLE)); }
  DWORD GetExStyle() const { return static_cast<DWORD>(::GetWindowLongA(m_hWnd, GWL_EXSTYLE)); }
  void SetWindowText(LPCSTR text) { ::SetWindowTextA(m_hWnd, text); }
  int GetWindowText(LPSTR buffer, int maxCount) const {
    return ::GetWindowTextA(m_hWnd, buffer, maxCount);
  }
  void GetWindowText(CString& text) const;
  int GetWindowTextLength() const { return ::GetWindowTextLengthA(m_hWnd); }
  int GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }
  CWnd* GetDlgItem(int id) const { return FromHandle(::GetDlgItem(m_hWnd, id)); }
  void SetDlgItemText(int id, LPCSTR text) { ::SetDlgItemTextA(m_hWnd, id, text); }
  int GetDlgItemText(int id, CString& text) const;
  CWnd* GetParent() const { return FromHandle(::GetParent(m_hWnd)); }
  BOOL IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
  BOOL IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }
  BOOL EnableWindow(BOOL enable = TRUE) { return ::EnableWindow(m_hWnd, enable); }
  BOOL ShowWindow(int cmdShow) { return ::ShowWindow(m_hWnd, cmdShow); }
  HICON SetIcon(HICON hIcon, BOOL bigIcon) {
    return reinterpret_cast<HICON>(
        SendMessage(WM_SETICON, bigIcon ? ICON_BIG : ICON_SMALL, reinterpret_cast<LPARAM>(hIcon)));
  }
  CMenu* GetSystemMenu(BOOL revert) const;
  int MessageBox(LPCSTR text, LPCSTR caption = nullptr, UINT type = MB_OK) {
    return ::MessageBoxA(m_hWnd, text, caption, type);
  }

  // Geometry.
  void GetClientRect(LPRECT rect) const { ::GetClientRect(m_hWnd, rect); }
  void GetWindowRect(LPRECT rect) const { ::GetWindowRect(m_hWnd, rect); }
  void ClientToScreen(LPPOINT point) const { ::ClientToScreen(m_hWnd, point); }
  void ClientToScreen(LPRECT rect) const;
  void ScreenToClient(LPPOINT point) const { ::ScreenToClient(m_hWnd, point); }
  void ScreenToClient(LPRECT rect) const;
  void MoveWindow(int x, int y, int width, int height, BOOL repaint = TRUE) {
    ::MoveWindow(m_hWnd, x, y, width, height, repaint);
  }
  void MoveWindow(LPCRECT rect, BOOL repaint = TRUE) {
    MoveWindow(rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top, repaint);
  }
  BOOL SetWindowPos(const CWnd* pInsertAfter, int x, int y, int cx, int cy, UINT flags) {
    return ::SetWindowPos(m_hWnd, pInsertAfter ? pInsertAfter->m_hWnd : nullptr, x, y, cx, cy,
                          flags);
  }
  void Invalidate(BOOL erase = TRUE) { ::InvalidateRect(m_hWnd, nullptr, erase); }
  void InvalidateRect(LPCRECT rect, BOOL erase = TRUE) { ::InvalidateRect(m_hWnd, rect, erase); }
  void UpdateWindow() { ::UpdateWindow(m_hWnd); }
  void SetRedraw(BOOL redraw = TRUE) { SendMessage(WM_SETREDRAW, redraw); }

  // Focus, timers and capture.
  CWnd* SetFocus() { return FromHandle(::SetFocus(m_hWnd)); }
  static CWnd* GetFocus() { return FromHandle(::GetFocus()); }
  UINT_PTR SetTimer(UINT_PTR id, UINT elapse, TIMERPROC proc = nullptr) {
    return ::SetTimer(m_hWnd, id, elapse, proc);
  }
  BOOL KillTimer(UINT_PTR id) { return ::KillTimer(m_hWnd, id); }
  CWnd* SetCapture() { return FromHandle(::SetCapture(m_hWnd)); }
  static CWnd* GetCapture() { return FromHandle(::GetCapture()); }

  // Walks pMsg from its window up to the window's top-level parent and lets
  // each window object pre-translate it; nonzero when one consumed it.
  static BOOL WalkPreTranslateTree(MSG* pMsg);

  // Runs DoDataExchange: loads the members into the controls, or with
  // saveAndValidate takes the controls' contents; FALSE when a validation
  // failed.
  BOOL UpdateData(BOOL saveAndValidate = TRUE);

 protected:
  // The window's procedure before this object took it over.
  WNDPROC m_pfnSuper;

  // OnWndMsg, then DefWindowProc for a message no map took.
  virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
  // Finds the message's entry in the maps and calls its handler; FALSE when
  // no map names the message.
  virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
  // WM_COMMAND: routes the command or control notification through
  // OnCmdMsg; nonzero when an entry took it.
  virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
  // WM_NOTIFY: the ON_NOTIFY entry of the sender's id and code; nonzero
  // (the handler's result in *pResult) when one took it.
  virtual BOOL OnNotify(NMHDR* header, LRESULT* pResult);
  virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
  // Called after the window's last message, when the object no longer has a
  // window. Frames and self-owning pages delete themselves here.
  virtual void PostNcDestroy();
  // The exchange between members and controls that UpdateData runs.
  virtual void DoDataExchange(CDataExchange* pDX);

  afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
  afx_msg void OnDestroy();
  // Unsubclasses and detaches the window, then PostNcDestroy.
  afx_msg void OnNcDestroy();
  afx_msg void OnClose();
  afx_msg void OnSize(UINT nType, int cx, int cy);
  afx_msg void OnSetFocus(CWnd* pOldWnd);
  afx_msg void OnPaint();
  afx_msg void OnTimer(UINT nIDEvent);
  afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
  afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
  afx_msg void OnMouseMove(UINT nFlags, CPoint point);
  // nCtlColor is CTLCOLOR_MSGBOX ... CTLCOLOR_STATIC.
  afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
  afx_msg void OnMDIActivate(BOOL bActivate, CWnd* pActivateWnd, CWnd* pDeactivateWnd);
  // pos is (-1, -1) when the keyboard asked for the menu (Shift+F10, the
  // menu key): the menu then goes by the selection, not the pointer.
  afx_msg void OnContextMenu(CWnd* pWnd, CPoint pos);

  friend LRESULT CALLBACK AfxWndProc(HWND, UINT, WPARAM, LPARAM);
  friend class CWinThread;

  DECLARE_MESSAGE_MAP()
};

#include "framework/afxmsg_.h"

AFX_API LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

class AFX_API CMenu : public CObject {
 public:
  HMENU m_hMenu;

  CMenu();
  ~CMenu() override;
  static CMenu* FromHandle(HMENU hMenu);
  HMENU GetSafeHmenu() const { return m_hMenu; }
  operator HMENU() const { return m_hMenu; }
  BOOL Attach(HMENU hMenu);
  HMENU Detach();
  // A new, empty shortcut menu, destroyed with the object.
  BOOL CreatePopupMenu() { return Attach(::CreatePopupMenu()); }
  BOOL AppendMenu(UINT flags, UINT_PTR id, LPCSTR text) {
    return ::AppendMenuA(m_hMenu, flags, id, text);
  }
  BOOL SetDefaultItem(UINT item, BOOL byPosition = FALSE) {
    return ::SetMenuDefaultItem(m_hMenu, item, byPosition);
  }
  // With TPM_RETURNCMD, the id chosen (0 for none).
  BOOL TrackPopupMenu(UINT flags, int x, int y, CWnd* pWnd, LPCRECT rect = nullptr) {
    return ::TrackPopupMenu(m_hMenu, flags, x, y, 0, pWnd->m_hWnd, rect);
  }
  int GetMenuItemCount() const { return ::GetMenuItemCount(m_hMenu); }
  UINT GetMenuItemID(int pos) const { return ::GetMenuItemID(m_hMenu, pos); }
  BOOL RemoveMenu(UINT position, UINT flags) { return ::RemoveMenu(m_hMenu, position, flags); }
};
