// The test side of the platform fault seam: while installed, it is asked
// before each platform call the stream socket makes (on the calling thread)
// and may fail it, and it keeps the books of every handle the socket opens
// and releases. Test peers use the platform directly and do not show here.
#pragma once

#include <atomic>
#include <functional>
#include <mutex>
#include <set>
#include <string>

#include "link/platform_faults.h"

class CFaultSeam : public link_platform::IPlatformFaults {
 public:
  using Call = link_platform::PlatformCall;
  using Handle = link_platform::SocketHandle;
  // Puts a seam in place of the module's seam, or takes it out (null).
  using Install = void (*)(link_platform::IPlatformFaults* faults);
  // decide answers each call: 0 lets it run, an error code fails it. Without
  // one every call runs. The seam is this program's own unless install puts
  // it into another module (velmo.dll has its own).
  explicit CFaultSeam(std::function<int(Call, Handle)> decide = nullptr, Install install = nullptr);
  CFaultSeam(const CFaultSeam&) = delete;
  CFaultSeam& operator=(const CFaultSeam&) = delete;
  ~CFaultSeam();

  int Before(Call call, Handle handle) override;
  void Opened(Handle handle) override;
  void Released(Handle handle) override;

  int Calls() const { return m_calls.load(); }
  bool WasReleased(Handle handle) const;
  // What is wrong with the handle books: handles still open, releases of a
  // handle that was not open. Empty when every handle was released once.
  std::string HandleFaults() const;

 private:
  std::function<int(Call, Handle)> m_decide;
  Install m_install;
  std::atomic<int> m_calls{0};
  mutable std::mutex m_mutex;
  std::multiset<Handle> m_open;
  std::set<Handle> m_released;
  std::string m_faults;
};

const char* CallName(link_platform::PlatformCall call);
