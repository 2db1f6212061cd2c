// The UI tests' shared helpers. UI thread only, except the peer's own thread.
#include "ui_test_support.h"

#include <chrono>
#include <cstring>

#include "link/link_event.h"
#include "peer.h"
#include "ui/ui_messages.h"

void PumpPending() {
  MSG msg;
  while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (!AfxGetThread()->PreTranslateMessage(&msg)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageA(&msg);
    }
  }
}

CTestWindow::CTestWindow(int width, int height) {
  m_hWnd = ::CreateWindowExA(0, "STATIC", "ui test", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, width,
                             height, nullptr, nullptr, ::GetModuleHandleA(nullptr), nullptr);
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

std::string ConsoleText(HWND console) {
  // The control may count characters, not bytes: leave room for two bytes
  // per character.
  const int length = ::GetWindowTextLengthA(console) * 2 + 1;
  std::string text(static_cast<std::size_t>(length), '\0');
  const int got = ::GetWindowTextA(console, &text[0], length);
  text.resize(static_cast<std::size_t>(got > 0 ? got : 0));
  return text;
}

int ConsoleLineCount(HWND console) {
  return static_cast<int>(::SendMessageA(console, EM_GETLINECOUNT, 0, 0));
}

namespace {

// The control counts positions in characters: a double-byte character is one.
long CharCount(const std::string& bytes) {
  if (bytes.empty()) return 0;
  return ::MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
}

std::string Hex(COLORREF colour) {
  char text[16];
  wsprintfA(text, "%06X", static_cast<unsigned>(colour));
  return text;
}

}  // namespace

std::string CompareConsole(HWND console, const std::vector<Piece>& expected) {
  std::string whole;
  for (const Piece& piece : expected) whole += piece.text;
  const std::string actual = ConsoleText(console);
  if (actual != whole) return "text is [" + actual + "], expected [" + whole + "]";
  long start = 0;
  for (const Piece& piece : expected) {
    const long end = start + CharCount(piece.text);
    CHARRANGE range = {start, end};
    ::SendMessageA(console, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
    CHARFORMATA format = {};
    format.cbSize = sizeof(format);
    ::SendMessageA(console, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
    if (!(format.dwMask & CFM_COLOR)) return "piece [" + piece.text + "] has mixed colours";
    if (format.crTextColor != piece.colour) {
      return "piece [" + piece.text + "] is " + Hex(format.crTextColor) + ", expected " +
             Hex(piece.colour);
    }
    start = end;
  }
  return "";
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
    while (connection.ReadFrame(&frame.type, &frame.payload, 60000)) {
      std::lock_guard<std::mutex> guard(shared->lock);
      shared->frames.push_back(frame);
      shared->arrived.notify_all();
    }
  });
  m_link.Socket().ConnectHost("127.0.0.1", m_peer->Port(), 5);
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
                           int height) {
  auto* page = new CChannelPage(host);
  page->m_channelName = channel;
  if (!page->Create(CChannelPage::IDD, CWnd::FromHandle(parent))) {
    delete page;
    return nullptr;
  }
  page->SetWindowPos(nullptr, 0, 0, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
  page->ShowWindow(SW_SHOW);
  PumpPending();
  return page;
}

int DeliverMessage(CChannelPage* page, unsigned type, const std::string& payload) {
  MessageRecord record = {static_cast<std::uint16_t>(payload.size()),
                          static_cast<std::uint16_t>(type), payload.c_str()};
  return static_cast<int>(
      page->SendMessage(WM_LINK_EVENT, LinkMessage, reinterpret_cast<LPARAM>(&record)));
}

std::vector<std::string> ListRows(HWND list) {
  std::vector<std::string> rows;
  const int count = static_cast<int>(::SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
  for (int row = 0; row < count; ++row) {
    std::string text;
    for (int column = 0; column < 3; ++column) {
      char cell[1024] = {};
      LVITEMA item = {};
      item.iSubItem = column;
      item.pszText = cell;
      item.cchTextMax = sizeof(cell) - 1;
      ::SendMessageA(list, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
      if (column > 0) text += "|";
      text += cell;
    }
    rows.push_back(text);
  }
  return rows;
}
