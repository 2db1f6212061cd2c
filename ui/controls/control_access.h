// What a keyboard or screen-reader user reaches of a page: each pane's name
// as a screen reader reads it, and the panes F6 steps through.
//
// Names: a control a user reaches with Tab or F6 whose own text is not what
// it is (a console's lines, a list's rows, an edit's typing) is named here
// with a label in the UI's words. The name is set on the system's own
// accessible object for the control by Dynamic Annotation
// (IAccPropServices::SetHwndPropStr, PROPID_ACC_NAME) once the page has
// bound the control, so the system's providers answer for it (its text, its
// list rows, its events) and the control's WM_GETOBJECT is left alone; the
// annotation is cleared when the control's window goes. Where the system has
// no annotation (Wine answers E_NOTIMPL, or the class is not registered) the
// control answers WM_GETOBJECT for OBJID_CLIENT with the system's object
// under our name instead (named_accessible.h).
//
// COM: the annotation needs COM on the calling thread, which is the host's.
// A pane initialises it apartment-threaded for as long as its annotation
// lasts and balances that when it is cleared; a thread the host made
// multithreaded is used as it is. Never from DllMain.
//
// Threads: user-interface thread only.
#pragma once

#include "framework/afxwin.h"
#include "ui/console/console_view.h"

struct IAccPropServices;

// The panes of a page, by control id, in the order F6 visits them.
struct PaneList {
  const int* ids;
  int count;
};

// Client text (code page 932) as a BSTR for a screen reader, which the
// caller owns; null when it cannot be had.
BSTR Cp932Bstr(const char* text);

// One pane's name and the way it reaches screen readers.
class CPaneName {
 public:
  // name outlives the window and every accessible object (a literal).
  CPaneName(const char* name, bool listView) : m_name(name), m_listView(listView) {}
  ~CPaneName() { Clear(); }
  CPaneName(const CPaneName&) = delete;
  CPaneName& operator=(const CPaneName&) = delete;

  // Annotates the bound control's own object with the name; without the
  // service the control's WM_GETOBJECT answers instead. Once per window.
  void Apply(HWND control);
  // Clears the annotation; nothing when there is none.
  void Clear();
  // WM_GETOBJECT: the reference to hand back, or 0 when the control's own
  // answer stands (annotated, or an object other than OBJID_CLIENT).
  LRESULT Answer(HWND control, WPARAM flags, LPARAM objectId) const;

 private:
  const char* m_name;
  bool m_listView;
  HWND m_annotated = nullptr;             // the annotated window, or null
  IAccPropServices* m_service = nullptr;  // held while annotated
  bool m_balanceCom = false;              // our CoInitializeEx, undone by Clear
};

// The panes: each binds with DDX_Control, then the page calls NameForReaders.
class CNamedEdit : public CEdit {
 public:
  explicit CNamedEdit(const char* name) : m_name(name, false) {}
  void NameForReaders() { m_name.Apply(m_hWnd); }

 protected:
  afx_msg LRESULT OnGetObject(WPARAM flags, LPARAM objectId);
  afx_msg void OnDestroy();

 private:
  CPaneName m_name;
  DECLARE_MESSAGE_MAP()
};

class CNamedListCtrl : public CListCtrl {
 public:
  explicit CNamedListCtrl(const char* name) : m_name(name, true) {}
  void NameForReaders() { m_name.Apply(m_hWnd); }

 protected:
  afx_msg LRESULT OnGetObject(WPARAM flags, LPARAM objectId);
  afx_msg void OnDestroy();

 private:
  CPaneName m_name;
  DECLARE_MESSAGE_MAP()
};

class CNamedConsoleView : public CConsoleView {
 public:
  CNamedConsoleView(const ConsoleStyle& style, const char* name)
      : CConsoleView(style), m_name(name, false) {}
  void NameForReaders() { m_name.Apply(m_hWnd); }

 protected:
  afx_msg LRESULT OnGetObject(WPARAM flags, LPARAM objectId);
  afx_msg void OnDestroy();

 private:
  CPaneName m_name;
  DECLARE_MESSAGE_MAP()
};
