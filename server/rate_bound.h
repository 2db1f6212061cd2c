// A bound on how often something may happen: up to a burst at once, then
// one more each period (a token bucket). The server bounds the pings one
// user may send with it, since each makes another user's client answer.
// A plain value; the loop thread uses it.
#pragma once

#include <chrono>

namespace orla_server {

class RateBound {
 public:
  using Clock = std::chrono::steady_clock;

  RateBound(int burst, Clock::duration period) : m_burst(burst), m_left(burst), m_period(period) {}

  // true, and one use counted, when a use is allowed at now.
  bool Take(Clock::time_point now) {
    if (m_left == m_burst) {
      // Full: the next use earned counts from this one.
      m_counted = now;
    } else if (now > m_counted) {
      const auto earned = (now - m_counted) / m_period;
      if (earned >= m_burst - m_left) {
        m_left = m_burst;
        m_counted = now;
      } else if (earned > 0) {
        m_left += static_cast<int>(earned);
        m_counted += earned * m_period;
      }
    }
    if (m_left == 0) return false;
    --m_left;
    return true;
  }

 private:
  int m_burst;
  int m_left;
  Clock::duration m_period;
  Clock::time_point m_counted;
};

}  // namespace orla_server
