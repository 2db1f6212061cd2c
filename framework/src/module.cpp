// Module state and extension modules: the current instance and resource
// handles, and the resource search chain of CDynLinkLibrary records.
#include <mutex>

#include "afx_state.h"

namespace {

std::recursive_mutex g_chainLock;

}  // namespace

AFX_MODULE_STATE* AfxGetModuleState() {
  static AFX_MODULE_STATE state = {nullptr, ::GetModuleHandleA(nullptr),
                                   ::GetModuleHandleA(nullptr), nullptr, nullptr};
  return &state;
}

HINSTANCE AfxGetInstanceHandle() { return AfxGetModuleState()->m_hCurrentInstanceHandle; }
HINSTANCE AfxGetResourceHandle() { return AfxGetModuleState()->m_hCurrentResourceHandle; }
void AfxSetResourceHandle(HINSTANCE hResource) {
  AfxGetModuleState()->m_hCurrentResourceHandle = hResource;
}

HINSTANCE AfxFindResourceHandle(LPCSTR name, LPCSTR type) {
  HINSTANCE hInst = AfxGetResourceHandle();
  if (::FindResourceA(hInst, name, type)) return hInst;
  std::lock_guard<std::recursive_mutex> lock(g_chainLock);
  for (CDynLinkLibrary* p = AfxGetModuleState()->m_pLibraryList; p; p = p->m_pNextDLL) {
    if (!p->m_bSystem && p->m_hResource && ::FindResourceA(p->m_hResource, name, type)) {
      return p->m_hResource;
    }
  }
  return hInst;
}

BOOL AfxInitExtensionModule(AFX_EXTENSION_MODULE& state, HMODULE hModule) {
  if (!hModule) return FALSE;
  if (state.bInitialized) return TRUE;
  state.bInitialized = TRUE;
  state.hModule = hModule;
  state.hResource = hModule;
  return TRUE;
}

void AfxTermExtensionModule(AFX_EXTENSION_MODULE& state, BOOL all) {
  if (!state.bInitialized) return;
  std::lock_guard<std::recursive_mutex> lock(g_chainLock);
  for (CDynLinkLibrary* p = AfxGetModuleState()->m_pLibraryList; p;) {
    CDynLinkLibrary* next = p->m_pNextDLL;
    if (all || p->m_hModule == state.hModule) delete p;  // unlinks itself
    p = next;
  }
  state.bInitialized = FALSE;
}

CDynLinkLibrary::CDynLinkLibrary(AFX_EXTENSION_MODULE& state, BOOL system)
    : m_hModule(state.hModule),
      m_hResource(state.hResource),
      m_bSystem(system),
      m_pNextDLL(nullptr) {
  std::lock_guard<std::recursive_mutex> lock(g_chainLock);
  AFX_MODULE_STATE* ms = AfxGetModuleState();
  m_pNextDLL = ms->m_pLibraryList;
  ms->m_pLibraryList = this;
}

CDynLinkLibrary::~CDynLinkLibrary() {
  std::lock_guard<std::recursive_mutex> lock(g_chainLock);
  for (CDynLinkLibrary** pp = &AfxGetModuleState()->m_pLibraryList; *pp; pp = &(*pp)->m_pNextDLL) {
    if (*pp == this) {
      *pp = m_pNextDLL;
      break;
    }
  }
}
