// Message maps: CCmdTarget, the map records and the macros that give a class
// its map. A class declares DECLARE_MESSAGE_MAP() and lists its entries
// between BEGIN_MESSAGE_MAP(CThis, CBase) and END_MESSAGE_MAP() (entry macros
// in afxmsg_.h). A message is looked up in the object's own map, then in its
// base class's, and so on; the first matching entry wins.
//
// Each map is built on its first use (its entries hold converted pointers to
// members, which are no constant expressions) and never changes after.
#pragma once

#include <cstring>

#include "framework/afxobj.h"

// Marks a message handler: a plain, non-virtual member reached through a map.
#define afx_msg

class CCmdTarget;
typedef void (CCmdTarget::*AFX_PMSG)();

struct AFX_MSGMAP_ENTRY {
  UINT nMessage;  // window message, or WM_COMMAND for commands and notifications
  UINT nCode;     // notification code (CN_COMMAND for menus and accelerators)
  UINT nID;       // control or command id; 0 for window messages
  UINT nLastID;   // last id of a range; nID for a single id
  UINT nSig;      // AfxSig: how the handler is called
  AFX_PMSG pfn;   // the handler, stored as AFX_PMSG
};

struct AFX_MSGMAP {
  // A function, not a pointer to data: the base class may live in another
  // module.
  const AFX_MSGMAP* (*pfnGetBaseMap)();
  const AFX_MSGMAP_ENTRY* lpEntries;
};

// The handler in its stored form. To is the handler type the entry's
// signature calls, so the static_cast checks the handler's signature; the
// copy then keeps every bit of the pointer (the two types have one layout).
template <class To, class From>
AFX_PMSG AfxMsgFn(From pfn) {
  const To typed = static_cast<To>(pfn);
  static_assert(sizeof(To) == sizeof(AFX_PMSG), "one layout for every handler pointer");
  AFX_PMSG stored;
  std::memcpy(&stored, &typed, sizeof stored);
  return stored;
}

// The stored handler back in the type its entry's signature names.
template <class To>
To AfxMsgFnAs(AFX_PMSG stored) {
  static_assert(sizeof(To) == sizeof(AFX_PMSG), "one layout for every handler pointer");
  To typed;
  std::memcpy(&typed, &stored, sizeof typed);
  return typed;
}

// Filled by OnCmdMsg instead of calling the handler, for a caller that only
// asks whether a command has one.
struct AFX_CMDHANDLERINFO {
  CCmdTarget* pTarget;
  AFX_PMSG pmf;
};

class AFX_API CCmdTarget : public CObject {
  DECLARE_DYNAMIC(CCmdTarget)

 public:
  CCmdTarget();

  // Routes a command (nCode CN_COMMAND) or a control notification from id
  // nID through the maps; nonzero when an entry took it.
  virtual BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo);

 protected:
  static const AFX_MSGMAP* _GetBaseMessageMap();
  static const AFX_MSGMAP* GetThisMessageMap();
  virtual const AFX_MSGMAP* GetMessageMap() const;
};

// The first entry of one map (ending at AfxSig_end) for the message, code and
// id, or null.
AFX_API const AFX_MSGMAP_ENTRY* AfxFindMessageEntry(const AFX_MSGMAP_ENTRY* lpEntry, UINT nMessage,
                                                    UINT nCode, UINT nID);

// clang-format off
#define DECLARE_MESSAGE_MAP()                    \
 protected:                                      \
  static const AFX_MSGMAP* _GetBaseMessageMap(); \
  static const AFX_MSGMAP* GetThisMessageMap();  \
  const AFX_MSGMAP* GetMessageMap() const override;

// The entries live inside a member function so that they can name the
// class's handlers as &ThisClass::Handler, the form the language asks for.
#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                                \
  const AFX_MSGMAP* theClass::_GetBaseMessageMap() { return baseClass::GetThisMessageMap(); } \
  const AFX_MSGMAP* theClass::GetMessageMap() const { return GetThisMessageMap(); }           \
  const AFX_MSGMAP* theClass::GetThisMessageMap() {                                           \
    typedef theClass ThisClass;                                                               \
    static const AFX_MSGMAP_ENTRY _messageEntries[] = {

#define END_MESSAGE_MAP()                                                                   \
      {0, 0, 0, 0, AfxSig_end, nullptr}};                                                   \
    static const AFX_MSGMAP messageMap = {&ThisClass::_GetBaseMessageMap,                   \
                                          &_messageEntries[0]};                             \
    return &messageMap;                                                                     \
  }
// clang-format on
