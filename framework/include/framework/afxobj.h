// CObject and runtime classes: class names, base-class links and dynamic
// creation (DECLARE_DYNCREATE / IMPLEMENT_DYNCREATE / RUNTIME_CLASS).
// Runtime class records are reached through functions, never exported data,
// so a class in one module can derive from a class in another.
#pragma once

#include "framework/afx_api.h"

class CObject;

struct AFX_API CRuntimeClass {
  LPCSTR m_lpszClassName;
  int m_nObjectSize;
  UINT m_wSchema;
  CObject* (*m_pfnCreateObject)();  // null when the class is not creatable
  CRuntimeClass* (*m_pfnGetBaseClass)();

  // A new object of the class, or null when it is not dynamically creatable.
  CObject* CreateObject() const;
  BOOL IsDerivedFrom(const CRuntimeClass* pBaseClass) const;
};

class AFX_API CObject {
 public:
  virtual ~CObject();
  static CRuntimeClass* GetThisClass();
  virtual CRuntimeClass* GetRuntimeClass() const;
  BOOL IsKindOf(const CRuntimeClass* pClass) const;

  CObject(const CObject&) = delete;
  CObject& operator=(const CObject&) = delete;

 protected:
  CObject();
};

#define RUNTIME_CLASS(class_name) (class_name::GetThisClass())

#define DECLARE_DYNAMIC(class_name)     \
 public:                                \
  static CRuntimeClass* GetThisClass(); \
  CRuntimeClass* GetRuntimeClass() const override;

#define DECLARE_DYNCREATE(class_name) \
  DECLARE_DYNAMIC(class_name)         \
  static CObject* CreateObject();

#define AFX_IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, pfnNew)                           \
  CRuntimeClass* class_name::GetThisClass() {                                                     \
    static CRuntimeClass rc = {#class_name, static_cast<int>(sizeof(class_name)), 0xFFFF, pfnNew, \
                               &base_class_name::GetThisClass};                                   \
    return &rc;                                                                                   \
  }                                                                                               \
  CRuntimeClass* class_name::GetRuntimeClass() const { return class_name::GetThisClass(); }

#define IMPLEMENT_DYNAMIC(class_name, base_class_name) \
  AFX_IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, nullptr)

#define IMPLEMENT_DYNCREATE(class_name, base_class_name)         \
  CObject* class_name::CreateObject() { return new class_name; } \
  AFX_IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, &class_name::CreateObject)
