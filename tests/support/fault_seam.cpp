// The test side of the platform fault seam.
#include "tests/support/fault_seam.h"

using link_platform::PlatformCall;

namespace {

void InstallHere(link_platform::IPlatformFaults* faults) {
  link_platform::SetPlatformFaults(faults);
}

}  // namespace

CFaultSeam::CFaultSeam(std::function<int(Call, Handle)> decide, Install install)
    : m_decide(std::move(decide)), m_install(install != nullptr ? install : &InstallHere) {
  m_install(this);
}

CFaultSeam::~CFaultSeam() { m_install(nullptr); }

int CFaultSeam::Before(Call call, Handle handle) {
  ++m_calls;
  return m_decide ? m_decide(call, handle) : 0;
}

void CFaultSeam::Opened(Handle handle) {
  std::lock_guard<std::mutex> guard(m_mutex);
  if (m_open.count(handle) != 0)
    m_faults += "handle " + std::to_string(handle) + " opened while open; ";
  m_open.insert(handle);
  m_released.erase(handle);
}

void CFaultSeam::Released(Handle handle) {
  std::lock_guard<std::mutex> guard(m_mutex);
  auto open = m_open.find(handle);
  if (open == m_open.end()) {
    m_faults += "handle " + std::to_string(handle) + " released while not open; ";
    return;
  }
  m_open.erase(open);
  m_released.insert(handle);
}

bool CFaultSeam::WasReleased(Handle handle) const {
  std::lock_guard<std::mutex> guard(m_mutex);
  return m_released.count(handle) != 0;
}

std::string CFaultSeam::HandleFaults() const {
  std::lock_guard<std::mutex> guard(m_mutex);
  std::string faults = m_faults;
  for (Handle handle : m_open) faults += "handle " + std::to_string(handle) + " never released; ";
  return faults;
}

const char* CallName(PlatformCall call) {
  switch (call) {
    case PlatformCall::kSocket:
      return "socket";
    case PlatformCall::kConnect:
      return "connect";
    case PlatformCall::kWait:
      return "connect wait";
    case PlatformCall::kTransferWait:
      return "send/receive wait";
    case PlatformCall::kGetOption:
      return "getsockopt";
    case PlatformCall::kBlockingMode:
      return "blocking mode";
    case PlatformCall::kSend:
      return "send";
    case PlatformCall::kReceive:
      return "recv";
    case PlatformCall::kShutdown:
      return "shutdown";
    case PlatformCall::kResolve:
      return "name lookup";
  }
  return "?";
}
