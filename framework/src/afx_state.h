// framework.dll internals: the per-thread state (current thread object, the
// message being processed, the window being created, temporary wrappers) and
// the window-creation hook. Never included by users of the framework.
#pragma once

#include <memory>
#include <unordered_map>

#include "framework/afxwin.h"

// Temporary wrappers handed out by FromHandle for handles that have no
// permanent object. Owned by one thread, freed by AfxDeleteTempMaps.
template <class Base, class Handle>
class TempMap {
 public:
  template <class T>
  T* Get(Handle handle) {
    std::unique_ptr<Base>& slot = m_map[handle];
    if (!slot) {
      slot.reset(new T);
      SetHandle(slot.get(), handle);
    }
    return static_cast<T*>(slot.get());
  }
  void Clear() {
    for (auto& entry : m_map) SetHandle(entry.second.get(), nullptr);  // the handle is not ours
    m_map.clear();
  }
  ~TempMap() { Clear(); }

 private:
  static void SetHandle(CWnd* p, HWND h) { p->m_hWnd = h; }
  static void SetHandle(CGdiObject* p, HGDIOBJ h) { p->m_hObject = h; }
  static void SetHandle(CDC* p, HDC h) { p->m_hDC = h; }
  static void SetHandle(CMenu* p, HMENU h) { p->m_hMenu = h; }

  std::unordered_map<Handle, std::unique_ptr<Base>> m_map;
};

struct AFX_THREAD_STATE {
  CWinThread* m_pCurrentWinThread = nullptr;
  MSG m_lastSentMsg = {};
  // The object whose window is being created on this thread, and the class
  // name its window will have ("" accepts any class but the IME's).
  CWnd* m_pWndInit = nullptr;
  char m_szInitClass[256] = {};
  HHOOK m_hHookCbt = nullptr;
  // Whether the last MDI child creation got as far as a window.
  bool m_bLastCreateAttached = false;
  char m_szClassName[128] = {};  // AfxRegisterWndClass's answer
  TempMap<CWnd, HWND> m_tempWnds;
  TempMap<CGdiObject, HGDIOBJ> m_tempGdi;
  TempMap<CDC, HDC> m_tempDCs;
  TempMap<CMenu, HMENU> m_tempMenus;
};

AFX_THREAD_STATE* AfxGetThreadState();

// Window creation: the next window of class className created on this thread
// (any class when null) becomes pWnd's. Unhook says whether it did.
void AfxHookWindowCreate(CWnd* pWnd, LPCSTR className);
bool AfxUnhookWindowCreate();

// The permanent map, shared by all threads.
void AfxMapWindow(HWND hWnd, CWnd* pWnd);
void AfxUnmapWindow(HWND hWnd);
