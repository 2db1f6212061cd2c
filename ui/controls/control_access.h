// What a keyboard or screen-reader user reaches of a page: each pane's name
// as a screen reader reads it, and the panes F6 steps through.
//
// Names: a control a user reaches with Tab or F6 whose own text is not what
// it is (a console's lines, a list's rows, an edit's typing) is named here
// with a label in the UI's words. Its wrapper answers WM_GETOBJECT for
// OBJID_CLIENT with the system's own accessible object for the control
// (CreateStdAccessibleObject) with only the name replaced; everything else
// (role, value, children, states, events) stays the system's.
//
// Threads: user-interface thread only.
#pragma once

#include "framework/afxwin.h"
#include "ui/console/console_view.h"

// The panes of a page, by control id, in the order F6 visits them.
struct PaneList {
  const int* ids;
  int count;
};

// Client text (code page 932) as a BSTR for a screen reader, which the
// caller owns; null when it cannot be had.
BSTR Cp932Bstr(const char* text);

// The WM_GETOBJECT answer of a control named name (code page 932): the
// reference to hand back, or 0 for an object id other than OBJID_CLIENT or
// when the object could not be made (the control's own answer then stands).
LRESULT NamedClientObject(HWND control, const char* name, WPARAM flags, LPARAM objectId);

class CNamedEdit : public CEdit {
 public:
  // name outlives the window (a literal).
  explicit CNamedEdit(const char* name) : m_name(name) {}

 protected:
  afx_msg LRESULT OnGetObject(WPARAM flags, LPARAM objectId);

 private:
  const char* m_name;
  DECLARE_MESSAGE_MAP()
};

class CNamedListCtrl : public CListCtrl {
 public:
  explicit CNamedListCtrl(const char* name) : m_name(name) {}

 protected:
  afx_msg LRESULT OnGetObject(WPARAM flags, LPARAM objectId);

 private:
  const char* m_name;
  DECLARE_MESSAGE_MAP()
};

class CNamedConsoleView : public CConsoleView {
 public:
  CNamedConsoleView(const ConsoleStyle& style, const char* name)
      : CConsoleView(style), m_name(name) {}

 protected:
  afx_msg LRESULT OnGetObject(WPARAM flags, LPARAM objectId);

 private:
  const char* m_name;
  DECLARE_MESSAGE_MAP()
};
