// The UI tests' shared helpers. UI thread only, except the peer's own thread.
#include "tests/support/ui_test_support.h"

#include <chrono>
#include <cstring>

#include "link/link_event.h"
#include "tests/support/peer.h"
#include "ui/ui_messages.h"

CTestWindow::CTestWindow(int width, int height, DWORD style) {
  m_hWnd = ::CreateWindowExA(0, "STATIC", "ui test", style | WS_VISIBLE, 0, 0, width, height,
                             nullptr, nullptr, ::GetModuleHandleA(nullptr), nullptr);
}

CTestWindow::~CTestWindow() { Destroy(); }

void CTestWindow::Destroy() {
  if (m_hWnd != nullptr && ::IsWindow(m_hWnd)) ::DestroyWindow(m_hWnd);
  m_hWnd = nullptr;
  PumpPending();
}

HWND CreateRichEdit(HWND parent, int id, int x, int y, int width, int height) {
  const DWORD style = WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | WS_TABSTOP | ES_MULTILINE |
                      ES_AUTOVSCROLL | ES_READONLY | ES_WANTRETURN;
  return ::CreateWindowExA(0, "RICHEDIT", "", style, x, y, width, height, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                           ::GetModuleHandleA(nullptr), nullptr);
}

struct CPeerLink::Shared {
  std::mutex lock;
  std::condition_variable arrived;
  std::deque<ReceivedFrame> frames;
};

CPeerLink::CPeerLink() : m_shared(std::make_shared<Shared>()) {
  std::shared_ptr<Shared> shared = m_shared;
  m_peer = std::make_unique<CScriptedPeer>([shared](CPeerConnection& connection, int) {
    ReceivedFrame frame;
    while (connection.ReadFrame(&frame.type, &frame.payload)) {
      std::lock_guard<std::mutex> guard(shared->lock);
      shared->frames.push_back(frame);
      shared->arrived.notify_all();
    }
  });
  m_link.Socket().ConnectHost("127.0.0.1", m_peer->Port(), 5);
  // As the worker does once its login went out: the pages may send.
  m_link.Socket().OpenToAnyThread();
}

CPeerLink::~CPeerLink() {
  m_link.Socket().Close();
  m_peer.reset();
}

bool CPeerLink::NextFrame(ReceivedFrame* frame, int timeoutMs) {
  std::unique_lock<std::mutex> guard(m_shared->lock);
  if (!m_shared->arrived.wait_for(guard, std::chrono::milliseconds(timeoutMs),
                                  [&] { return !m_shared->frames.empty(); })) {
    return false;
  }
  *frame = m_shared->frames.front();
  m_shared->frames.pop_front();
  return true;
}

bool CPeerLink::NoFrame(int timeoutMs) {
  ReceivedFrame frame;
  return !NextFrame(&frame, timeoutMs);
}

CChannelPage* OpenTestPage(IChannelPageHost* host, HWND parent, const char* channel, int width,
                           int height, PageKind kind) {
  CChannelPage* page = CChannelPage::Open(host, channel, CWnd::FromHandle(parent), kind);
  if (page == nullptr) return nullptr;
  page->SetWindowPos(nullptr, 0, 0, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
  page->ShowWindow(SW_SHOW);
  PumpPending();
  return page;
}

int SendLinkMessage(HWND window, unsigned type, const std::string& payload) {
  MessageRecord record = {static_cast<std::uint16_t>(payload.size()),
                          static_cast<std::uint16_t>(type), payload.c_str()};
  return static_cast<int>(
      ::SendMessageA(window, WM_LINK_EVENT, LinkMessage, reinterpret_cast<LPARAM>(&record)));
}

int DeliverMessage(CChannelPage* page, unsigned type, const std::string& payload) {
  return SendLinkMessage(page->m_hWnd, type, payload);
}

namespace {
const char kWatchProperty[] = "VelmoChangePaintWatch";
}  // namespace

CChangePaintWatch::CChangePaintWatch(HWND control, UINT changeMessage)
    : m_control(control), m_changeMessage(changeMessage) {
  ::SetPropA(control, kWatchProperty, this);
  m_next = reinterpret_cast<WNDPROC>(
      ::SetWindowLongPtrA(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Watch)));
}

CChangePaintWatch::~CChangePaintWatch() {
  if (!::IsWindow(m_control) || ::GetPropA(m_control, kWatchProperty) != this) return;
  ::SetWindowLongPtrA(m_control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_next));
  ::RemovePropA(m_control, kWatchProperty);
}

LRESULT CALLBACK CChangePaintWatch::Watch(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* watch = static_cast<CChangePaintWatch*>(::GetPropA(hWnd, kWatchProperty));
  if (message == watch->m_changeMessage) watch->m_lastChange = ++watch->m_seq;
  if (message == WM_PAINT) {
    watch->m_lastPaint = ++watch->m_seq;
    ++watch->m_paints;
  }
  const WNDPROC next = watch->m_next;
  if (message == WM_NCDESTROY) {
    ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(next));
    ::RemovePropA(hWnd, kWatchProperty);
  }
  return ::CallWindowProcA(next, hWnd, message, wParam, lParam);
}
