// CStreamSocket: one IPv4 TCP client socket with per-call time-outs. Every
// operation that fails on an open socket closes it, and the reason of the
// last failure stays in GetStatus() as a SocketStatus.
//
// Threads: the link's worker connects, receives and closes after its own
// failures; the user-interface thread sends and closes (Stop). Close takes
// the handle out under the socket's lock, so when both threads reach it the
// connection is closed once. Close ends the sending side at once (a connect
// waiting is aborted; a receive waiting in the other thread sees the close
// within its slice) but releases the handle only when no call on that handle
// is still running: a released POSIX descriptor number is reused at once,
// and a late call must never reach an unrelated one. The release first reads
// away what has arrived, so the close is an orderly one: WinSock resets a
// connection closed with unread data, and the reset can lose the last sends. Uses are counted per
// handle, so a busy new connection never holds back the release of an old one, and an operation
// that fails closes only the handle it used, never a newer one another thread opened meanwhile.
// Sends and receives may overlap. No heap memory.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>

#include "link/socket_platform.h"

enum SocketStatus : int {
  StatusOk = 0,
  // Any failure but a time-out: connect while open, a name that does not
  // resolve, a refused connect, a peer that closed, a failing call.
  StatusError = 1,
  StatusTimedOut = 2,
  StatusNotOpen = 3,
};

class CStreamSocket {
 public:
  CStreamSocket() = default;
  CStreamSocket(const CStreamSocket&) = delete;
  CStreamSocket& operator=(const CStreamSocket&) = delete;
  virtual ~CStreamSocket();

  // address in network byte order; the port's low 16 bits are used. A
  // time-out of 0 waits as long as the platform's own connect would (the
  // wait still ends at once when the other thread closes the socket).
  // 1 connected, 0 failed.
  int Connect(std::uint32_t address, unsigned port, int timeoutSeconds);
  // A dotted address is connected blocking, whatever the time-out; a host
  // name is resolved (first IPv4 address) and connected with the time-out.
  int ConnectHost(const char* host, unsigned port, int timeoutSeconds);

  // Who sends: the thread that connects (which says what goes first, such
  // as a login), or any other, whose sends a connection takes only once the
  // connecting thread has opened it to them. Until then such a send fails at
  // once: it sends nothing, disturbs no connect and leaves the status.
  enum class Sender { kConnector, kAnyThread };

  // One send/receive; time-out in whole seconds, 0 waits without limit.
  // Bytes transferred (at least 1), or -1.
  int SendOnce(const void* data, int length, int timeoutSeconds,
               Sender sender = Sender::kConnector);
  int ReceiveOnce(void* buffer, int size, int timeoutSeconds);
  // Repeats the single call until length bytes went; each call gets the
  // whole time-out. length, or -1.
  int SendAll(const void* data, int length, int timeoutSeconds, Sender sender = Sender::kConnector);
  int ReceiveAll(void* buffer, int length, int timeoutSeconds);
  // The open connection takes sends from any thread from now on; a later
  // connection starts closed to them again.
  void OpenToAnyThread();
  // Whether the open connection takes sends from any thread yet.
  bool IsOpenToAnyThread();

  // Ends the sending side and releases the handle once no call uses it,
  // after reading away what has arrived. 1 closed, 0 none was open.
  int Close();
  // Close, and every connect fails at once until AllowConnects, opening no
  // handle and looking up no name: a connect on the other thread that is
  // still looking up its host's name, or about to open its handle, then
  // ends as soon as that call returns. 1 closed, 0 none was open.
  int CloseAndRefuse();
  void AllowConnects() { m_refusing = false; }
  bool IsRefusingConnects() const { return m_refusing.load(); }
  int GetStatus() const { return m_status.load(); }
  bool IsOpen() const { return m_handle.load() != link_platform::kInvalidSocket; }

 private:
  enum Direction { kSend, kReceive };
  int TransferOnce(Direction direction, Sender sender, char* data, int length, int timeoutSeconds);
  // One send or receive on the handle, made when the handle is ready for it:
  // waits in slices until it is, the handle is closed or timeoutSeconds (0:
  // no limit) have passed. The platform's result, or -1 with the time-out
  // error when the wait ended without one.
  int TransferWhenReady(Direction direction, link_platform::SocketHandle s, char* data, int length,
                        int timeoutSeconds);
  int TransferAll(Direction direction, Sender sender, char* data, int length, int timeoutSeconds);
  // The wait of a connect (timeoutSeconds 0: no limit of ours), in short
  // slices so that a Close from the other thread ends it at once on every
  // platform.
  int WaitForConnect(link_platform::SocketHandle s, int timeoutSeconds);

  // A handle and the calls running on it. The open handle has one, and so
  // has each closed handle a call on the other thread still uses: with two
  // threads, three at most.
  struct Slot {
    link_platform::SocketHandle handle;
    int uses;
    // Sends from any thread are taken (OpenToAnyThread).
    bool openToAnyThread;
  };
  static const int kSlots = 4;

  // The open handle with a use taken, or kInvalidSocket; also when sender
  // may not use it yet (*notYet is then true).
  link_platform::SocketHandle BeginUse(Sender sender, bool* notYet);
  // Opens a handle and makes it the open one, with a use taken;
  // kInvalidSocket when connects are refused, one is open already, the
  // platform gives none (or, never with two threads, every slot is busy).
  link_platform::SocketHandle OpenPublished();
  // Ends a use; the last use of a closed handle drains and releases it.
  void EndUse(link_platform::SocketHandle handle);
  // Closes the open handle when it is only (kInvalidSocket: whichever is
  // open). false when that handle is not open.
  bool CloseOpen(link_platform::SocketHandle only);
  bool IsOpenHandle(link_platform::SocketHandle handle) const { return m_handle.load() == handle; }
  Slot* Find(link_platform::SocketHandle handle);

  std::mutex m_lock;  // guards m_slots and changes of m_handle
  Slot m_slots[kSlots] = {};
  // Read without the lock by IsOpen.
  std::atomic<link_platform::SocketHandle> m_handle{link_platform::kInvalidSocket};
  std::atomic<int> m_status{StatusOk};
  // Set by CloseAndRefuse; read by connects, under the lock where it counts.
  std::atomic<bool> m_refusing{false};
};
