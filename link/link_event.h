// What the link reports to the user interface, and the seam it reports
// through. The link's worker produces events; a target carries each one to
// the user-interface thread and back, synchronously.
#pragma once

#include <cstdint>

enum LinkEvent : int {
  LinkGaveUp = 0,      // value 1: the worker ended without getting online
  LinkConnecting = 1,  // the worker has started, before the first attempt
  LinkOnline = 2,      // a login was accepted, before the receive loop
  LinkOffline = 3,     // the receive loop ended; the socket is closed
  LinkMessage = 4,     // value: address of a MessageRecord
};

// One received frame. It lives on the worker's stack and the payload in its
// receive buffer: valid only while LinkMessage is being delivered. Receivers
// copy what they keep and never write into the payload.
struct MessageRecord {
  std::uint16_t length;  // payload bytes, 0 to 1023
  std::uint16_t type;
  const char* payload;  // NUL right after length bytes
};

// The target of the link's events.
//
// Contract:
// - DeliverLinkEvent is called on the worker thread. It runs the receiver
//   with (code, value) on the user-interface thread, waits until it has
//   returned and returns its int (for LinkMessage: non-zero = handled).
//   Deliveries are therefore handled one at a time, in the order made. Called
//   on the user-interface thread itself, it runs the receiver directly.
// - ServePendingDeliveries is called on the user-interface thread (by Stop
//   while it waits for the worker). It runs every delivery waiting now, and
//   whatever else the thread has pending, and returns without waiting for
//   new ones. The user-interface thread never blocks on the worker, so this
//   is how deliveries go on while Stop waits.
// - A receiver must not call Stop from inside a delivery: the worker is
//   waiting in that very delivery.
class ILinkEventTarget {
 public:
  virtual int DeliverLinkEvent(int code, std::intptr_t value) = 0;
  virtual void ServePendingDeliveries() = 0;

 protected:
  ~ILinkEventTarget() = default;
};
