// CObject and CRuntimeClass: class identity and dynamic creation.
#include "framework/afxwin.h"

CObject::CObject() = default;
CObject::~CObject() = default;

CRuntimeClass* CObject::GetThisClass() {
  static CRuntimeClass rc = {"CObject", static_cast<int>(sizeof(CObject)), 0xFFFF, nullptr,
                             nullptr};
  return &rc;
}

CRuntimeClass* CObject::GetRuntimeClass() const { return GetThisClass(); }

BOOL CObject::IsKindOf(const CRuntimeClass* pClass) const {
  return GetRuntimeClass()->IsDerivedFrom(pClass);
}

CObject* CRuntimeClass::CreateObject() const {
  return m_pfnCreateObject ? m_pfnCreateObject() : nullptr;
}

BOOL CRuntimeClass::IsDerivedFrom(const CRuntimeClass* pBaseClass) const {
  for (const CRuntimeClass* p = this; p;
       p = p->m_pfnGetBaseClass ? p->m_pfnGetBaseClass() : nullptr) {
    if (p == pBaseClass) return TRUE;
  }
  return FALSE;
}
