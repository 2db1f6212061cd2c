// CCmdTarget: the root of the message maps and the routing of commands and
// control notifications through them.
#include "framework/afxwin.h"

IMPLEMENT_DYNAMIC(CCmdTarget, CObject)

CCmdTarget::CCmdTarget() = default;

const AFX_MSGMAP* CCmdTarget::_GetBaseMessageMap() { return nullptr; }

const AFX_MSGMAP* CCmdTarget::GetThisMessageMap() {
  static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, 0, AfxSig_end, nullptr}};
  static const AFX_MSGMAP map = {&CCmdTarget::_GetBaseMessageMap, &entries[0]};
  return &map;
}

const AFX_MSGMAP* CCmdTarget::GetMessageMap() const { return GetThisMessageMap(); }

const AFX_MSGMAP_ENTRY* AfxFindMessageEntry(const AFX_MSGMAP_ENTRY* lpEntry, UINT nMessage,
                                            UINT nCode, UINT nID) {
  for (; lpEntry->nSig != AfxSig_end; ++lpEntry) {
    if (lpEntry->nMessage == nMessage && lpEntry->nCode == nCode && nID >= lpEntry->nID &&
        nID <= lpEntry->nLastID) {
      return lpEntry;
    }
  }
  return nullptr;
}

BOOL CCmdTarget::OnCmdMsg(UINT nID, int nCode, void*, AFX_CMDHANDLERINFO* pHandlerInfo) {
  for (const AFX_MSGMAP* map = GetMessageMap(); map != nullptr;
       map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
    const AFX_MSGMAP_ENTRY* entry =
        AfxFindMessageEntry(map->lpEntries, WM_COMMAND, static_cast<UINT>(nCode), nID);
    if (entry == nullptr) continue;
    if (pHandlerInfo != nullptr) {
      pHandlerInfo->pTarget = this;
      pHandlerInfo->pmf = entry->pfn;
      return TRUE;
    }
    // The handler may destroy this object (a page's Leave button): nothing
    // of it is touched after the call.
    if (entry->nSig == AfxSig_vw) {
      (this->*AfxMsgFnAs<void (CCmdTarget::*)(UINT)>(entry->pfn))(nID);
    } else {
      (this->*entry->pfn)();
    }
    return TRUE;
  }
  return FALSE;
}
