// A loopback listener that never accepts and whose accept queue is full, so
// a connect to it gets no answer at all and waits: the one reliable way to
// make a timed connect run into its time-out on loopback.
#pragma once

#include <string>
#include <vector>

#include "link/socket_platform.h"

class CFullListener {
 public:
  CFullListener();
  CFullListener(const CFullListener&) = delete;
  CFullListener& operator=(const CFullListener&) = delete;
  ~CFullListener();

  unsigned Port() const { return m_port; }
  // "localhost:<port>": a host name, so the link's connect is the timed one.
  std::string HostAddress() const { return "localhost:" + std::to_string(m_port); }

  // Makes room in the queue (the fillers are accepted and closed), so the
  // next connect waiting gets through when its request is sent again, and
  // reads that connection's first frame. false when none came whole within
  // the hang bound.
  bool FirstFrameOfTheNextConnect(unsigned* type, std::string* payload);

 private:
  link_platform::SocketHandle m_listener;
  unsigned m_port = 0;
  std::vector<link_platform::SocketHandle> m_fillers;
};
