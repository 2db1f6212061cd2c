// Link receive throughput: frames per second through the link's real
// receive loop (worker thread, frame reading rule, delivery through an event
// target) next to raw recv loops reading the same byte stream from the same
// kind of loopback peer, for 16-byte and 1023-byte payloads. Also counts the
// heap allocations per received frame. Prints figures; asserts nothing.
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "allocation_counter.h"
#include "link/frame_header.h"
#include "link/server_link.h"
#include "link/socket_platform.h"
#include "tests/support/link_call_queue.h"

namespace {

using Clock = std::chrono::steady_clock;

// A loopback server for one client: it answers a login if asked to, then
// sends count frames of the given payload size and closes.
class CStreamingPeer {
 public:
  CStreamingPeer(std::size_t payloadSize, long count, bool answerLogin) {
    const std::string payload(payloadSize, 'p');
    unsigned char header[kFrameHeaderSize];
    EncodeFrameHeader(header, static_cast<std::uint16_t>(payloadSize), 403);
    // Frames batched into chunks of about 256 KiB, sent whole.
    const long perChunk = std::max<long>(1, 262144 / static_cast<long>(payloadSize + 4));
    for (long i = 0; i < perChunk; ++i) {
      m_chunk.append(reinterpret_cast<char*>(header), sizeof(header));
      m_chunk += payload;
    }
    m_listener = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof(address));
    socklen_t size = sizeof(address);
    getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &size);
    m_port = ntohs(address.sin_port);
    listen(m_listener, 1);
    m_thread = std::thread([=] { Run(count, perChunk, payloadSize, answerLogin); });
  }
  ~CStreamingPeer() {
    m_thread.join();
    close(m_listener);
  }
  unsigned Port() const { return m_port; }

 private:
  void Run(long count, long perChunk, std::size_t payloadSize, bool answerLogin) {
    const int s = accept(m_listener, nullptr, nullptr);
    if (answerLogin) {
      unsigned char header[kFrameHeaderSize];
      recv(s, header, sizeof(header), MSG_WAITALL);
      std::vector<char> login(DecodeFrameHeader(header).length);
      recv(s, login.data(), login.size(), MSG_WAITALL);
      EncodeFrameHeader(header, 2, 3);
      send(s, header, sizeof(header), MSG_NOSIGNAL);
      send(s, "ok", 2, MSG_NOSIGNAL);
    }
    for (long sent = 0; sent < count; sent += perChunk) {
      const long frames = std::min(perChunk, count - sent);
      const std::size_t bytes = static_cast<std::size_t>(frames) * (payloadSize + 4);
      for (std::size_t done = 0; done < bytes;) {
        const ssize_t n = send(s, m_chunk.data() + done, bytes - done, MSG_NOSIGNAL);
        if (n <= 0) break;
        done += static_cast<std::size_t>(n);
      }
    }
    close(s);
  }

  std::string m_chunk;
  int m_listener;
  unsigned m_port = 0;
  std::thread m_thread;
};

int ConnectTo(unsigned port) {
  const int s = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address = {};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(static_cast<std::uint16_t>(port));
  connect(s, reinterpret_cast<sockaddr*>(&address), sizeof(address));
  return s;
}

double PerSecond(long frames, Clock::duration elapsed) {
  return frames / std::chrono::duration<double>(elapsed).count();
}

// The ceiling: one recv of up to 64 KiB at a time until the stream ends.
double RawBulk(std::size_t payloadSize, long count) {
  CStreamingPeer peer(payloadSize, count, false);
  const int s = ConnectTo(peer.Port());
  static char buffer[65536];
  const auto start = Clock::now();
  while (recv(s, buffer, sizeof(buffer), 0) > 0) {
  }
  const auto elapsed = Clock::now() - start;
  close(s);
  return PerSecond(count, elapsed);
}

// The same framing without the link: recv the header, then the payload.
bool RecvExactly(int s, char* buffer, std::size_t length) {
  for (std::size_t done = 0; done < length;) {
    const ssize_t n = recv(s, buffer + done, length - done, 0);
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

double RawFramewise(std::size_t payloadSize, long count) {
  CStreamingPeer peer(payloadSize, count, false);
  const int s = ConnectTo(peer.Port());
  char buffer[kFrameBufferSize];
  long frames = 0;
  const auto start = Clock::now();
  while (RecvExactly(s, buffer, kFrameHeaderSize)) {
    const FrameHeader header = DecodeFrameHeader(reinterpret_cast<unsigned char*>(buffer));
    if (header.length > 0 && !RecvExactly(s, buffer, header.length)) break;
    ++frames;
  }
  const auto elapsed = Clock::now() - start;
  close(s);
  return PerSecond(frames, elapsed);
}

// A listener that does nothing but count; it notes the allocation counter at
// the first and the last frame.
struct FrameCounter {
  long expected = 0;
  std::atomic<long> frames{0};
  std::atomic<bool> offline{false};
  std::uint64_t allocationsAtFirst = 0;
  std::uint64_t allocationsAtLast = 0;
  Clock::time_point first;
  Clock::time_point last;

  int OnEvent(int code) {
    if (code == LinkOffline) offline = true;
    if (code != LinkMessage) return 0;
    const long n = ++frames;
    if (n == 1) {
      first = Clock::now();
      allocationsAtFirst = HeapAllocations();
    }
    if (n == expected) {
      last = Clock::now();
      allocationsAtLast = HeapAllocations();
    }
    return 1;
  }
};

// Runs the listener on the worker itself: the loop's own cost.
class CDirectTarget : public ILinkEventTarget {
 public:
  explicit CDirectTarget(FrameCounter* counter) : m_counter(counter) {}
  int DeliverLinkEvent(int code, std::intptr_t) override { return m_counter->OnEvent(code); }
  void ServePendingDeliveries() override {}

 private:
  FrameCounter* m_counter;
};

class CCountingListener : public ILinkListener {
 public:
  explicit CCountingListener(FrameCounter* counter) : m_counter(counter) {}
  int OnLinkEvent(int code, std::intptr_t) override { return m_counter->OnEvent(code); }

 private:
  FrameCounter* m_counter;
};

struct LinkFigures {
  double framesPerSecond;
  double allocationsPerFrame;
};

// Through the link; with viaQueue each delivery is a synchronous call into
// this (the "user-interface") thread, as in the product.
LinkFigures ThroughLink(std::size_t payloadSize, long count, bool viaQueue) {
  CStreamingPeer peer(payloadSize, count, true);
  FrameCounter counter;
  counter.expected = count;
  CDirectTarget direct(&counter);
  CCountingListener listener(&counter);
  CLinkCallQueue queue(&listener);
  CServerLink link;
  ILinkEventTarget* target = viaQueue ? static_cast<ILinkEventTarget*>(&queue) : &direct;
  link.Start(target, "127.0.0.1:" + std::to_string(peer.Port()), "bench");
  while (!counter.offline) {
    if (viaQueue) {
      queue.ServeOne(std::chrono::milliseconds(10));
    } else {
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
  }
  if (counter.frames != count)
    std::fprintf(stderr, "got %ld of %ld frames\n", counter.frames.load(), count);
  return {PerSecond(count - 1, counter.last - counter.first),
          static_cast<double>(counter.allocationsAtLast - counter.allocationsAtFirst) /
              static_cast<double>(count - 1)};
}

}  // namespace

int main(int argc, char** argv) {
  const long counts[] = {argc > 1 ? std::atol(argv[1]) : 400000,
                         argc > 2 ? std::atol(argv[2]) : 200000};
  const std::size_t sizes[] = {16, 1023};
  std::printf("link receive throughput, loopback, frames per second (higher is better)\n");
  std::printf("%-8s %9s %12s %12s %12s %12s %8s %8s %12s\n", "payload", "frames", "raw bulk",
              "raw framed", "link", "link+UI", "link/raw", "link/raw", "allocations");
  std::printf("%-8s %9s %12s %12s %12s %12s %8s %8s %12s\n", "bytes", "", "recv", "recv", "direct",
              "queue", "bulk", "framed", "per frame");
  for (int i = 0; i < 2; ++i) {
    const double bulk = RawBulk(sizes[i], counts[i]);
    const double framed = RawFramewise(sizes[i], counts[i]);
    const LinkFigures direct = ThroughLink(sizes[i], counts[i], false);
    const LinkFigures queued = ThroughLink(sizes[i], counts[i], true);
    std::printf("%-8zu %9ld %12.0f %12.0f %12.0f %12.0f %8.3f %8.3f %12.3f\n", sizes[i], counts[i],
                bulk, framed, direct.framesPerSecond, queued.framesPerSecond,
                direct.framesPerSecond / bulk, direct.framesPerSecond / framed,
                std::max(direct.allocationsPerFrame, queued.allocationsPerFrame));
  }
  // Shows that the counter is hooked in: setting up peers and links allocates.
  std::printf("heap allocations counted in the whole run: %llu\n",
              static_cast<unsigned long long>(HeapAllocations()));
  return 0;
}
