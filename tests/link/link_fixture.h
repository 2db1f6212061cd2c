// A link under test: a real CServerLink with its worker thread, the test's
// thread acting as the user-interface thread (serving deliveries through a
// CLinkCallQueue), a recorder for events and log lines, and a scripted peer.
// Members are declared so that the link goes first: its destructor still
// serves deliveries, and the peer's scripts see the connection close.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "link/server_link.h"
#include "tests/support/link_call_queue.h"
#include "tests/support/peer.h"
#include "tests/support/recorder.h"

class LinkFixture : public testing::Test {
 protected:
  LinkFixture() { link.SetLogSink(&recorder); }

  // Starts a peer running script for each connection.
  void Serve(CScriptedPeer::Script script) {
    peer = std::make_unique<CScriptedPeer>(std::move(script));
  }

  void StartLink(const std::string& address, const std::string& nickname = "nick") {
    ASSERT_EQ(1, link.Start(&queue, address, nickname));
  }

  // Stops the link and the peer, so no script runs past this point: call it
  // before anything a script writes to goes away.
  void EndPeer() {
    link.Stop();
    peer.reset();
  }

  // Serves deliveries until the transcript holds entry count times.
  bool WaitFor(const std::string& entry, int count = 1) {
    return ServeUntil(queue, [&] { return recorder.Count(entry) >= count; });
  }

  CLinkRecorder recorder;
  CLinkCallQueue queue{&recorder};
  std::unique_ptr<CScriptedPeer> peer;
  CServerLink link;
};
