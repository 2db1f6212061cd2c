// The test side of a connection: a loopback listener, a scripted peer that
// runs a script for each connection it accepts on a thread of its own, and
// the raw reads and writes a script needs to send exact bytes (a 1024-byte
// length, a payload that stops half-way, a close mid-frame).
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <thread>

#include "link/socket_platform.h"
#include "tests/support/frame_bytes.h"
#include "tests/support/hang_bound.h"

// A new stream socket bound to an ephemeral port on 127.0.0.1, not yet
// listening; *port receives the port.
link_platform::SocketHandle BoundLoopbackSocket(unsigned* port);
// A port on 127.0.0.1 that nothing listens on: bound, then closed.
unsigned UnusedPort();
// The port of a socket's own end or of its peer's; 0 when it has none.
enum ConnectionEnd { kLocalEnd, kPeerEnd };
unsigned PortOf(link_platform::SocketHandle s, ConnectionEnd end);

// Every wait of a connection ends when the client closes, when the test that
// runs the peer ends (testEnded), or at the hang bound: a peer waits as long
// as its test, never on a clock of its own.
class CPeerConnection {
 public:
  CPeerConnection(link_platform::SocketHandle handle, const std::atomic<bool>* testEnded)
      : m_handle(handle), m_testEnded(testEnded) {}
  CPeerConnection(const CPeerConnection&) = delete;
  CPeerConnection& operator=(const CPeerConnection&) = delete;
  ~CPeerConnection() { Close(); }

  bool Send(const std::string& bytes);
  // Up to length bytes; fewer when the client closed, the test ended or
  // timeoutMs passed without progress.
  std::string Read(std::size_t length, int timeoutMs = kHangBoundMs);
  // One frame; false when it did not arrive whole.
  bool ReadFrame(unsigned* type, std::string* payload, int timeoutMs = kHangBoundMs);
  // true once the client has closed its side (a read gives end of stream).
  bool WaitForClose(int timeoutMs = kHangBoundMs);
  // true when the next read gives the end of the stream: the client ended in
  // order, with no reset and nothing more sent.
  bool EndsInOrder(int timeoutMs = kHangBoundMs);
  void Close();

 private:
  // Waits until the socket is readable: false when timeoutMs passed or the
  // test ended first.
  bool WaitReadable(int timeoutMs) const;

  link_platform::SocketHandle m_handle;
  const std::atomic<bool>* m_testEnded;
};

// Listens on an ephemeral loopback port and runs script(connection, index)
// for each accepted connection in turn, index counting from 0. Its
// destruction ends the test for the script: the connection's waits return.
class CScriptedPeer {
 public:
  using Script = std::function<void(CPeerConnection& connection, int index)>;
  explicit CScriptedPeer(Script script);
  CScriptedPeer(const CScriptedPeer&) = delete;
  CScriptedPeer& operator=(const CScriptedPeer&) = delete;
  ~CScriptedPeer();

  unsigned Port() const { return m_port; }
  int Accepted() const { return m_accepted.load(); }
  // "127.0.0.1:<port>" with an optional suffix.
  std::string Address(const std::string& suffix = "") const;

 private:
  void Run();

  Script m_script;
  link_platform::SocketHandle m_listener;
  unsigned m_port = 0;
  std::atomic<int> m_accepted{0};
  std::atomic<bool> m_stop{false};
  std::thread m_thread;
};

// Reads the login line and accepts it with a type 3 reply.
void AcceptLogin(CPeerConnection& connection);
