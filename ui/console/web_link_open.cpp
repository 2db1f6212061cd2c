// Opening a web link off the calling thread. See web_link_open.h.
#include "ui/console/web_link_open.h"

#include <windows.h>
//
#include <objbase.h>
#include <shellapi.h>

#include <cstring>

namespace {

struct OpenRequest {
  // This module, held until the thread has left its code.
  HMODULE module;
  char link[1];
};

DWORD WINAPI OpenOnItsOwnThread(void* parameter) {
  auto* request = static_cast<OpenRequest*>(parameter);
  const HMODULE module = request->module;
  // ShellExecuteEx may hand the link to a shell extension, which wants COM on
  // the calling thread, apartment-threaded and without the old DDE.
  const HRESULT com = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
  // This thread ends right after the call: SEE_MASK_NOASYNC lets a handler
  // started through DDE finish with it first.
  SHELLEXECUTEINFOA info = {};
  info.cbSize = sizeof info;
  info.fMask = SEE_MASK_NOASYNC;
  info.lpVerb = "open";
  info.lpFile = request->link;
  info.nShow = SW_SHOWNORMAL;
  ::ShellExecuteExA(&info);
  if (SUCCEEDED(com)) ::CoUninitialize();
  ::HeapFree(::GetProcessHeap(), 0, request);
  // The module may be unloaded as soon as this thread lets go of it.
  ::FreeLibraryAndExitThread(module, 0);
  return 0;
}

}  // namespace

bool OpenWebLink(const char* link, std::size_t length) {
  auto* request =
      static_cast<OpenRequest*>(::HeapAlloc(::GetProcessHeap(), 0, sizeof(OpenRequest) + length));
  if (request == nullptr) return false;
  std::memcpy(request->link, link, length);
  request->link[length] = '\0';
  if (!::GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                            reinterpret_cast<LPCSTR>(&OpenOnItsOwnThread), &request->module)) {
    ::HeapFree(::GetProcessHeap(), 0, request);
    return false;
  }
  HANDLE thread = ::CreateThread(nullptr, 0, &OpenOnItsOwnThread, request, 0, nullptr);
  if (thread == nullptr) {
    ::FreeLibrary(request->module);
    ::HeapFree(::GetProcessHeap(), 0, request);
    return false;
  }
  ::CloseHandle(thread);
  return true;
}
