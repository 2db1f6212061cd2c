// Message-map entries: the handler signatures the framework calls (AfxSig)
// and the entry macros. Each macro names the handler the way its message's
// published signature has it; a handler of another signature fails to
// compile. Use them between BEGIN_MESSAGE_MAP and END_MESSAGE_MAP.
#pragma once

// How an entry's handler is called: v void, i int, l LRESULT, h HBRUSH,
// b BOOL, w UINT or WPARAM, W CWnd*, D CDC*, p CPoint, s LPCREATESTRUCT.
enum AfxSig : UINT {
  AfxSig_end = 0,   // ends a map
  AfxSig_vv,        // void ()
  AfxSig_vw,        // void (UINT)
  AfxSig_is,        // int (LPCREATESTRUCT)
  AfxSig_vwii,      // void (UINT, int, int)
  AfxSig_vW,        // void (CWnd*)
  AfxSig_vwp,       // void (UINT, CPoint)
  AfxSig_hDWw,      // HBRUSH (CDC*, CWnd*, UINT)
  AfxSig_vbWW,      // void (BOOL, CWnd*, CWnd*)
  AfxSig_lwl,       // LRESULT (WPARAM, LPARAM)
  AfxSig_vWp,       // void (CWnd*, CPoint)
  AfxSig_vNMHDRpl,  // void (NMHDR*, LRESULT*)
};

// The one entry every WM_CTLCOLORxxx message is looked up under; the
// handler gets the kind (CTLCOLOR_MSGBOX ... CTLCOLOR_STATIC).
#define WM_CTLCOLOR 0x0019
// The notification code of a menu command or an accelerator.
#define CN_COMMAND 0

// ---- window messages ---------------------------------------------------------------

#define ON_WM_CREATE() \
  {WM_CREATE, 0, 0, 0, AfxSig_is, AfxMsgFn<int (CWnd::*)(LPCREATESTRUCT)>(&ThisClass::OnCreate)},
#define ON_WM_DESTROY() \
  {WM_DESTROY, 0, 0, 0, AfxSig_vv, AfxMsgFn<void (CCmdTarget::*)()>(&ThisClass::OnDestroy)},
#define ON_WM_NCDESTROY() \
  {WM_NCDESTROY, 0, 0, 0, AfxSig_vv, AfxMsgFn<void (CCmdTarget::*)()>(&ThisClass::OnNcDestroy)},
#define ON_WM_CLOSE() \
  {WM_CLOSE, 0, 0, 0, AfxSig_vv, AfxMsgFn<void (CCmdTarget::*)()>(&ThisClass::OnClose)},
#define ON_WM_SIZE() \
  {WM_SIZE, 0, 0, 0, AfxSig_vwii, AfxMsgFn<void (CWnd::*)(UINT, int, int)>(&ThisClass::OnSize)},
#define ON_WM_SETFOCUS() \
  {WM_SETFOCUS, 0, 0, 0, AfxSig_vW, AfxMsgFn<void (CWnd::*)(CWnd*)>(&ThisClass::OnSetFocus)},
#define ON_WM_PAINT() \
  {WM_PAINT, 0, 0, 0, AfxSig_vv, AfxMsgFn<void (CCmdTarget::*)()>(&ThisClass::OnPaint)},
#define ON_WM_TIMER() \
  {WM_TIMER, 0, 0, 0, AfxSig_vw, AfxMsgFn<void (CCmdTarget::*)(UINT)>(&ThisClass::OnTimer)},
#define ON_WM_LBUTTONDOWN() \
  {WM_LBUTTONDOWN,          \
   0,                       \
   0,                       \
   0,                       \
   AfxSig_vwp,              \
   AfxMsgFn<void (CWnd::*)(UINT, CPoint)>(&ThisClass::OnLButtonDown)},
#define ON_WM_LBUTTONUP() \
  {WM_LBUTTONUP,          \
   0,                     \
   0,                     \
   0,                     \
   AfxSig_vwp,            \
   AfxMsgFn<void (CWnd::*)(UINT, CPoint)>(&ThisClass::OnLButtonUp)},
#define ON_WM_MOUSEMOVE() \
  {WM_MOUSEMOVE,          \
   0,                     \
   0,                     \
   0,                     \
   AfxSig_vwp,            \
   AfxMsgFn<void (CWnd::*)(UINT, CPoint)>(&ThisClass::OnMouseMove)},
#define ON_WM_CTLCOLOR() \
  {                      \
      WM_CTLCOLOR, 0,    \
      0,           0,    \
      AfxSig_hDWw, AfxMsgFn<HBRUSH (CWnd::*)(CDC*, CWnd*, UINT)>(&ThisClass::OnCtlColor)},
#define ON_WM_MDIACTIVATE() \
  {WM_MDIACTIVATE,          \
   0,                       \
   0,                       \
   0,                       \
   AfxSig_vbWW,             \
   AfxMsgFn<void (CWnd::*)(BOOL, CWnd*, CWnd*)>(&ThisClass::OnMDIActivate)},

#define ON_WM_CONTEXTMENU() \
  {WM_CONTEXTMENU,          \
   0,                       \
   0,                       \
   0,                       \
   AfxSig_vWp,              \
   AfxMsgFn<void (CWnd::*)(CWnd*, CPoint)>(&ThisClass::OnContextMenu)},

// Any message, private ones included: LRESULT Handler(WPARAM, LPARAM), whose
// result is the message's.
#define ON_MESSAGE(message, memberFxn) \
  {static_cast<UINT>(message),         \
   0,                                  \
   0,                                  \
   0,                                  \
   AfxSig_lwl,                         \
   AfxMsgFn<LRESULT (CWnd::*)(WPARAM, LPARAM)>(&ThisClass::memberFxn)},

// A message registered with RegisterWindowMessage, by the variable that holds
// its number: LRESULT Handler(WPARAM, LPARAM). The entry keeps the
// variable's address in nSig, under the message 0xC000, and the variable is
// read as each registered message arrives: it may be registered at its first
// use (never by a static initialiser of a DLL, which runs inside DllMain),
// and until then (0) it matches nothing. The address fits nSig only where a
// pointer is 32 bits wide; elsewhere this does not compile.
#define ON_REGISTERED_MESSAGE(nMessageVariable, memberFxn)          \
  {0xC000,                                                          \
   0,                                                               \
   0,                                                               \
   0,                                                               \
   reinterpret_cast<UINT>(static_cast<UINT*>(&(nMessageVariable))), \
   AfxMsgFn<LRESULT (CWnd::*)(WPARAM, LPARAM)>(&ThisClass::memberFxn)},

// ---- commands and control notifications ------------------------------------------

// A menu command or accelerator with this id: void Handler().
#define ON_COMMAND(id, memberFxn) \
  {WM_COMMAND,                    \
   CN_COMMAND,                    \
   static_cast<UINT>(id),         \
   static_cast<UINT>(id),         \
   AfxSig_vv,                     \
   AfxMsgFn<void (CCmdTarget::*)()>(&ThisClass::memberFxn)},
// Commands from id to idLast: void Handler(UINT id).
#define ON_COMMAND_RANGE(id, idLast, memberFxn) \
  {WM_COMMAND,                                  \
   CN_COMMAND,                                  \
   static_cast<UINT>(id),                       \
   static_cast<UINT>(idLast),                   \
   AfxSig_vw,                                   \
   AfxMsgFn<void (CCmdTarget::*)(UINT)>(&ThisClass::memberFxn)},
// A control's notification code from control id: void Handler().
#define ON_CONTROL(wNotifyCode, id, memberFxn) \
  {WM_COMMAND,                                 \
   static_cast<UINT>(wNotifyCode),             \
   static_cast<UINT>(id),                      \
   static_cast<UINT>(id),                      \
   AfxSig_vv,                                  \
   AfxMsgFn<void (CCmdTarget::*)()>(&ThisClass::memberFxn)},
// The notification from controls id to idLast: void Handler(UINT id).
#define ON_CONTROL_RANGE(wNotifyCode, id, idLast, memberFxn) \
  {WM_COMMAND,                                               \
   static_cast<UINT>(wNotifyCode),                           \
   static_cast<UINT>(id),                                    \
   static_cast<UINT>(idLast),                                \
   AfxSig_vw,                                                \
   AfxMsgFn<void (CCmdTarget::*)(UINT)>(&ThisClass::memberFxn)},

// A common control's WM_NOTIFY of code from control id: void Handler(NMHDR*,
// LRESULT* result), whose *result (0 unless set) is the message's.
#define ON_NOTIFY(wNotifyCode, id, memberFxn) \
  {WM_NOTIFY,                                 \
   static_cast<UINT>(wNotifyCode),            \
   static_cast<UINT>(id),                     \
   static_cast<UINT>(id),                     \
   AfxSig_vNMHDRpl,                           \
   AfxMsgFn<void (CCmdTarget::*)(NMHDR*, LRESULT*)>(&ThisClass::memberFxn)},

#define ON_BN_CLICKED(id, memberFxn) ON_CONTROL(BN_CLICKED, id, memberFxn)
#define ON_EN_CHANGE(id, memberFxn) ON_CONTROL(EN_CHANGE, id, memberFxn)
#define ON_CBN_SELCHANGE(id, memberFxn) ON_CONTROL(CBN_SELCHANGE, id, memberFxn)
