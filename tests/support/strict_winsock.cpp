// The strict WinSock answers and their installation into an import table.
#include "tests/support/strict_winsock.h"

#include <cstring>
#include <mutex>

namespace {

using SendCall = int(WSAAPI*)(SOCKET, const char*, int, int);
using ReceiveCall = int(WSAAPI*)(SOCKET, char*, int, int);
using ShutdownCall = int(WSAAPI*)(SOCKET, int);
using CloseCall = int(WSAAPI*)(SOCKET);

// The socket library's own entry points, which the answers call on.
struct RealCalls {
  SendCall send;
  ReceiveCall recv;
  ShutdownCall shutdown;
  CloseCall closesocket;
};

// Looked up rather than named: a name would read the patched import table.
template <typename Call>
Call LibraryEntry(const char* name) {
  return reinterpret_cast<Call>(
      reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleA("ws2_32.dll"), name)));
}

const RealCalls& Real() {
  static const RealCalls real = {
      LibraryEntry<SendCall>("send"), LibraryEntry<ReceiveCall>("recv"),
      LibraryEntry<ShutdownCall>("shutdown"), LibraryEntry<CloseCall>("closesocket")};
  return real;
}

// Sockets whose receiving side is shut down; a socket leaves at its close.
// A test process has a handful of sockets at a time.
class CShutSockets {
 public:
  CShutSockets() {
    for (SOCKET& slot : m_sockets) slot = INVALID_SOCKET;
  }
  void Add(SOCKET s) {
    std::lock_guard<std::mutex> guard(m_lock);
    for (SOCKET& slot : m_sockets) {
      if (slot == s) return;
      if (slot == INVALID_SOCKET) {
        slot = s;
        return;
      }
    }
  }
  void Remove(SOCKET s) {
    std::lock_guard<std::mutex> guard(m_lock);
    for (SOCKET& slot : m_sockets)
      if (slot == s) slot = INVALID_SOCKET;
  }
  bool Has(SOCKET s) {
    std::lock_guard<std::mutex> guard(m_lock);
    for (SOCKET slot : m_sockets)
      if (slot == s) return true;
    return false;
  }

 private:
  std::mutex m_lock;
  SOCKET m_sockets[256];
};

CShutSockets& ShutSockets() {
  static CShutSockets sockets;
  return sockets;
}

// false only for a stream socket whose connect has not finished (or never
// began): the case Windows refuses with WSAENOTCONN.
bool IsConnected(SOCKET s) {
  sockaddr_in peer;
  int size = sizeof(peer);
  if (::getpeername(s, reinterpret_cast<sockaddr*>(&peer), &size) == 0) return true;
  return ::WSAGetLastError() != WSAENOTCONN;
}

int Refuse(int error) {
  ::WSASetLastError(error);
  return SOCKET_ERROR;
}

int WSAAPI StrictSend(SOCKET s, const char* data, int length, int flags) {
  if (!IsConnected(s)) return Refuse(WSAENOTCONN);
  return Real().send(s, data, length, flags);
}

int WSAAPI StrictReceive(SOCKET s, char* buffer, int length, int flags) {
  if (ShutSockets().Has(s)) return Refuse(WSAESHUTDOWN);
  if (!IsConnected(s)) return Refuse(WSAENOTCONN);
  return Real().recv(s, buffer, length, flags);
}

int WSAAPI StrictShutdown(SOCKET s, int how) {
  const int result = Real().shutdown(s, how);
  if (result == 0 && (how == SD_RECEIVE || how == SD_BOTH)) ShutSockets().Add(s);
  return result;
}

int WSAAPI StrictClose(SOCKET s) {
  ShutSockets().Remove(s);
  u_long unread = 0;
  if (::ioctlsocket(s, FIONREAD, &unread) == 0 && unread > 0) {
    // A close with data left unread aborts the connection on Windows.
    linger abort = {1, 0};
    ::setsockopt(s, SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&abort),
                 sizeof(abort));
  }
  return Real().closesocket(s);
}

// The answer that stands in for an import resolved to entry, or null.
DWORD_PTR StrictAnswerFor(DWORD_PTR entry) {
  const RealCalls& real = Real();
  if (entry == reinterpret_cast<DWORD_PTR>(real.send))
    return reinterpret_cast<DWORD_PTR>(&StrictSend);
  if (entry == reinterpret_cast<DWORD_PTR>(real.recv))
    return reinterpret_cast<DWORD_PTR>(&StrictReceive);
  if (entry == reinterpret_cast<DWORD_PTR>(real.shutdown))
    return reinterpret_cast<DWORD_PTR>(&StrictShutdown);
  if (entry == reinterpret_cast<DWORD_PTR>(real.closesocket))
    return reinterpret_cast<DWORD_PTR>(&StrictClose);
  return 0;
}

}  // namespace

int InstallStrictWinsock(HMODULE module) {
  if (module == nullptr || ::GetModuleHandleA("ws2_32.dll") == nullptr) return 0;
  auto* base = reinterpret_cast<BYTE*>(module);
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  const auto* headers = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  const IMAGE_DATA_DIRECTORY& imports =
      headers->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  if (imports.VirtualAddress == 0) return 0;
  int routed = 0;
  for (auto* library = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
       library->Name != 0; ++library) {
    if (::lstrcmpiA(reinterpret_cast<const char*>(base + library->Name), "ws2_32.dll") != 0)
      continue;
    for (auto* slot = reinterpret_cast<IMAGE_THUNK_DATA*>(base + library->FirstThunk);
         slot->u1.Function != 0; ++slot) {
      const DWORD_PTR answer = StrictAnswerFor(slot->u1.Function);
      if (answer == 0) continue;
      DWORD was = 0;
      if (!::VirtualProtect(&slot->u1.Function, sizeof(slot->u1.Function), PAGE_READWRITE, &was))
        continue;
      slot->u1.Function = answer;
      ::VirtualProtect(&slot->u1.Function, sizeof(slot->u1.Function), was, &was);
      ++routed;
    }
  }
  return routed;
}
