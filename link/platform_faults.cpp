// The platform fault seam's one pointer and the wrappers' way to it. Any
// thread: the pointer is read once per platform call.
#include "link/platform_faults.h"

#include <atomic>

namespace link_platform {

namespace {
std::atomic<IPlatformFaults*> g_faults{nullptr};
}  // namespace

void SetPlatformFaults(IPlatformFaults* faults) {
  g_faults.store(faults, std::memory_order_release);
}

Verdict Consult(PlatformCall call, SocketHandle handle) {
  IPlatformFaults* faults = g_faults.load(std::memory_order_acquire);
  if (faults == nullptr) return Verdict::kRun;
  const int answer = faults->Before(call, handle);
  if (answer == 0) return Verdict::kRun;
  if (answer == kStandIn) return Verdict::kStandIn;
  SetSocketError(answer);
  return Verdict::kFail;
}

void NoteOpened(SocketHandle handle) {
  if (IPlatformFaults* faults = g_faults.load(std::memory_order_acquire)) faults->Opened(handle);
}

void NoteReleased(SocketHandle handle) {
  if (IPlatformFaults* faults = g_faults.load(std::memory_order_acquire)) faults->Released(handle);
}

int StandInReceive(SocketHandle handle, char* buffer, int length) {
  IPlatformFaults* faults = g_faults.load(std::memory_order_acquire);
  return faults != nullptr ? faults->StandInReceive(handle, buffer, length) : 0;
}

}  // namespace link_platform
