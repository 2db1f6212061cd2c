// The platform fault seam: what a test or a fuzz harness installs to stand
// between the socket wrappers of link/socket_platform.h and the platform.
// Only the seam's implementation (platform_faults.cpp), the tests (with the
// fault walk's test build of velmo.dll, tests/e2e/fault_hook.cpp) and the
// fuzz targets include this.
//
// Before is called on the calling thread before each platform call, with
// the handle it is about to use (invalid for kSocket and kResolve). It
// answers 0 to let the call run, kStandIn to have it succeed without
// reaching the platform (a receive then takes its bytes from
// StandInReceive; a socket is still created for real, so every handle is
// genuine), or an error code: the call then fails with that value as the
// last error. Opened and Released report each handle the stream socket
// creates and releases.
#pragma once

#include "link/socket_platform.h"

namespace link_platform {

const int kStandIn = -1;

class IPlatformFaults {
 public:
  virtual int Before(PlatformCall call, SocketHandle handle) = 0;
  virtual void Opened(SocketHandle handle) = 0;
  virtual void Released(SocketHandle handle) = 0;
  // Bytes placed in buffer (at most length), 0 for the end of the stream,
  // or -1 with the last error set.
  virtual int StandInReceive(SocketHandle, char*, int) { return 0; }

 protected:
  ~IPlatformFaults() = default;
};

// Installs faults as this module's seam (null removes it). Every module that
// links the link has a seam of its own. Install only while no stream socket
// is in use; a server running in the same module has its calls answered too.
void SetPlatformFaults(IPlatformFaults* faults);

}  // namespace link_platform
