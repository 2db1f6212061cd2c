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

// A new stream socket bound to an ephemeral port on 127.0.0.1, not yet
// listening; *port receives the port.
link_platform::SocketHandle BoundLoopbackSocket(unsigned* port);
// A port on 127.0.0.1 that nothing listens on: bound, then closed.
unsigned UnusedPort();

class CPeerConnection {
 public:
  explicit CPeerConnection(link_platform::SocketHandle handle) : m_handle(handle) {}
  CPeerConnection(const CPeerConnection&) = delete;
  CPeerConnection& operator=(const CPeerConnection&) = delete;
  ~CPeerConnection() { Close(); }

  bool Send(const std::string& bytes);
  // Up to length bytes; fewer when the client closed or timeoutMs passed
  // without progress.
  std::string Read(std::size_t length, int timeoutMs = 10000);
  // One frame; false when it did not arrive whole.
  bool ReadFrame(unsigned* type, std::string* payload, int timeoutMs = 10000);
  // true once the client has closed its side (a read gives end of stream).
  bool WaitForClose(int timeoutMs = 10000);
  void Close();

 private:
  link_platform::SocketHandle m_handle;
};

// Listens on an ephemeral loopback port and runs script(connection, index)
// for each accepted connection in turn, index counting from 0.
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
