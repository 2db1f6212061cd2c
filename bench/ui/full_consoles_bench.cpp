// Time at the cap: chat lines into 1 and into 11 full chat consoles, minute
// after minute, for two kinds of console in the same run:
//   - the floor: raw "RICHEDIT" controls of the chat console's styles and
//     size, one on each of eleven plain page windows (the last one shown),
//     driven by the least work that gives the same text, colours and cap:
//     the caret put at the end when it is not there, the colour of each
//     piece set on the empty selection, the piece replacing it, and at the
//     cap the text up to the first "\r\n" deleted through a range of the
//     text object model, its undo step dropped; the shown console repainted
//     every 100 ms with its redrawing held off in between;
//   - ours: the real page host with its eleven channel pages, the real
//     CServerLink and a scripted loopback peer (CFedPageHost), chat lines
//     sent as fast as the client takes them.
// "1" sends every line to the shown console, "11" to the eleven in turn.
// Every minute each of the four takes lines for the given seconds in turn
// (so the load of the shared machine falls on all four alike) and the line
// prints lines/s of each, the ratios the goals compare, the longest stall of
// the thread (a 10 ms timer's longest wait), the process's memory and how
// long the process heap takes for 1,000 blocks of three size ranges. Each
// floor minute also prints where its time went, microseconds per line for
// each message.
//
//   build/<dir>/bench/ui/full_consoles_bench.exe [minutes] [seconds] [option=value...]
// minutes (default 3) of seconds (default 60) per kind. Options change the
// floor's driving one thing at a time (the first value is the default):
//   format=colour|full       colour only, or face, size and colour as ours
//   trim=range|select        delete through a text range, or select the
//                            line, replace it with nothing, caret back
//   hidden=on|off            hidden consoles' redrawing left on, or held off
//   undo=empty|limit0|keep   empty the undo after each trim, an undo limit
//                            of 0 set once, or neither
//   caret=check|always       move the caret only when not at the end, or always
// and for both kinds:
//   order=turn|bursts        the 11 consoles one line each, or ten lines each
//   kinds=f1,o1,f11,o11      which of the four run
//   pieces=two|one           nick and text put in as two pieces, or the line
//                            put in whole and its nick turned yellow after
//   heap=default|lfh         the process heap as it is, or asked for its
//                            low-fragmentation mode before anything starts
// Run under Wine through scripts/wine-run.sh (see docs/PERFORMANCE.md).

#include <winsock2.h>
//
#include <richole.h>
#include <tom.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "busy_channels.h"
#include "framework/afxwin.h"
#include "link/message_catalogue.h"
#include "process_footprint.h"
#include "tests/support/frame_bytes.h"
#include "ui/console/text_object_ids.h"
#include "ui/core/colours.h"
#include "ui/pages/channel_page.h"
#include "ui/pages/channel_page_ids.h"
#include "ui_bench_support.h"

CWinApp theApp("VelmoFullConsolesBench");

namespace {

const int kConsoles = CPageHostDlg::kMaxChannelPages;
const int kShown = kConsoles - 1;
const DWORD kRepaintEveryMs = 100;

struct Options {
  bool fullFormat = false;
  bool trimBySelection = false;
  bool hiddenHeld = false;
  enum class Undo { Empty, LimitZero, Keep } undo = Undo::Empty;
  bool caretAlways = false;
  bool bursts = false;
  bool lowFragmentationHeap = false;
  bool onePiece = false;
  std::string kinds = "f1,o1,f11,o11";
};

bool ParseOption(const char* arg, Options* options) {
  const std::string option = arg;
  if (option == "format=colour")
    options->fullFormat = false;
  else if (option == "format=full")
    options->fullFormat = true;
  else if (option == "trim=range")
    options->trimBySelection = false;
  else if (option == "trim=select")
    options->trimBySelection = true;
  else if (option == "hidden=on")
    options->hiddenHeld = false;
  else if (option == "hidden=off")
    options->hiddenHeld = true;
  else if (option == "undo=empty")
    options->undo = Options::Undo::Empty;
  else if (option == "undo=limit0")
    options->undo = Options::Undo::LimitZero;
  else if (option == "undo=keep")
    options->undo = Options::Undo::Keep;
  else if (option == "caret=check")
    options->caretAlways = false;
  else if (option == "caret=always")
    options->caretAlways = true;
  else if (option == "order=turn")
    options->bursts = false;
  else if (option == "order=bursts")
    options->bursts = true;
  else if (option == "pieces=two")
    options->onePiece = false;
  else if (option == "pieces=one")
    options->onePiece = true;
  else if (option == "heap=default")
    options->lowFragmentationHeap = false;
  else if (option == "heap=lfh")
    options->lowFragmentationHeap = true;
  else if (option.rfind("kinds=", 0) == 0)
    options->kinds = option.substr(6);
  else
    return false;
  return true;
}

bool Runs(const Options& options, const char* kind) {
  return ("," + options.kinds + ",").find("," + std::string(kind) + ",") != std::string::npos;
}

// Which console the index-th line of a spread run goes to.
int SpreadConsole(const Options& options, long long index) {
  return static_cast<int>((options.bursts ? index / 10 : index) % kConsoles);
}

// Where the floor's time goes: microseconds summed per step.
enum Step { kCaret, kFormat, kInsert, kCount, kFind, kDelete, kUndo, kRepaint, kPump, kSteps };
const char* const kStepNames[kSteps] = {"caret",  "format", "insert",  "count", "find",
                                        "delete", "undo",   "repaint", "pump"};
double g_stepUs[kSteps];
LARGE_INTEGER g_frequency;

class CStepTimer {
 public:
  explicit CStepTimer(Step step) : m_step(step) { ::QueryPerformanceCounter(&m_start); }
  ~CStepTimer() {
    LARGE_INTEGER end;
    ::QueryPerformanceCounter(&end);
    g_stepUs[m_step] += 1e6 * double(end.QuadPart - m_start.QuadPart) / g_frequency.QuadPart;
  }

 private:
  Step m_step;
  LARGE_INTEGER m_start;
};

void PumpPending() {
  MSG msg;
  while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    ::TranslateMessage(&msg);
    ::DispatchMessageA(&msg);
  }
  AfxDeleteTempMaps();
}

// The floor: one raw control per plain page window, at the place and size
// of the real pages' consoles.
class CFloorConsoles {
 public:
  CFloorConsoles(const RECT& pagePlace, const RECT& consolePlace, const Options& options)
      : m_options(options) {
    HINSTANCE instance = ::GetModuleHandleA(nullptr);
    m_frame = ::CreateWindowExA(0, "STATIC", "floor", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 900,
                                700, nullptr, nullptr, instance, nullptr);
    const DWORD styles = WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | WS_TABSTOP |
                         ES_MULTILINE | ES_AUTOVSCROLL | ES_READONLY | ES_WANTRETURN;
    for (int i = 0; i < kConsoles; ++i) {
      HWND page =
          ::CreateWindowExA(0, "STATIC", "", WS_CHILD | (i == kShown ? WS_VISIBLE : 0),
                            pagePlace.left, pagePlace.top, pagePlace.right - pagePlace.left,
                            pagePlace.bottom - pagePlace.top, m_frame, nullptr, instance, nullptr);
      Console& console = m_consoles[i];
      console.edit = ::CreateWindowExA(0, "RICHEDIT", "", styles, consolePlace.left,
                                       consolePlace.top, consolePlace.right - consolePlace.left,
                                       consolePlace.bottom - consolePlace.top, page, nullptr,
                                       instance, nullptr);
      SetUp(console, i == kShown);
    }
  }
  ~CFloorConsoles() {
    for (Console& console : m_consoles) {
      if (console.range != nullptr) console.range->Release();
      if (console.document != nullptr) console.document->Release();
    }
    ::DestroyWindow(m_frame);
  }
  HWND Frame() const { return m_frame; }

  void Fill() {
    for (int i = 0; i < kConsoles; ++i) {
      while (Lines(i) < kChatConsoleStyle.lineCap - 10) Line(i);
    }
    Repaint();
  }

  // One chat line (nick and text, as the page shows it) into console i.
  void Line(int i) {
    Console& console = m_consoles[i];
    const int number = console.numbers++;
    const std::string nick = "<" + BusyChatNick(number) + "> ";
    const std::string text = BusyChatText(number) + "\r\n";
    if (m_options.onePiece) {
      Piece(console, kWhite, (nick + text).c_str(), static_cast<long>(nick.size()));
    } else {
      Piece(console, kNickYellow, nick.c_str());
      Piece(console, kWhite, text.c_str());
    }
    if (i == kShown && ::GetTickCount() - m_lastRepaint >= kRepaintEveryMs) Repaint();
  }
  void Repaint() {
    CStepTimer timer(kRepaint);
    HWND shown = m_consoles[kShown].edit;
    ::SendMessageA(shown, WM_SETREDRAW, TRUE, 0);
    ::RedrawWindow(shown, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW);
    ::SendMessageA(shown, WM_SETREDRAW, FALSE, 0);
    m_lastRepaint = ::GetTickCount();
  }
  long long Lines(int i) const { return ::SendMessageA(m_consoles[i].edit, EM_GETLINECOUNT, 0, 0); }

 private:
  struct Console {
    HWND edit = nullptr;
    ITextDocument* document = nullptr;
    ITextRange* range = nullptr;
    int numbers = 0;
  };

  void SetUp(Console& console, bool shown) {
    CHARFORMATA format = {};
    format.cbSize = sizeof format;
    format.dwMask = CFM_SIZE | CFM_FACE;
    format.yHeight = kChatConsoleStyle.heightTwips;
    lstrcpynA(format.szFaceName, kChatConsoleStyle.faceName, LF_FACESIZE);
    ::SendMessageA(console.edit, EM_SETCHARFORMAT, 0, reinterpret_cast<LPARAM>(&format));
    ::SendMessageA(console.edit, EM_SETBKGNDCOLOR, 0, kBlack);
    if (m_options.undo == Options::Undo::LimitZero)
      ::SendMessageA(console.edit, EM_SETUNDOLIMIT, 0, 0);
    if (shown || m_options.hiddenHeld) ::SendMessageA(console.edit, WM_SETREDRAW, FALSE, 0);
    IRichEditOle* ole = nullptr;
    ::SendMessageA(console.edit, EM_GETOLEINTERFACE, 0, reinterpret_cast<LPARAM>(&ole));
    if (ole == nullptr) return;
    ole->QueryInterface(kTextDocumentIid, reinterpret_cast<void**>(&console.document));
    ole->Release();
    if (console.document != nullptr && console.document->Range(0, 0, &console.range) != S_OK)
      console.range = nullptr;
  }

  void CaretToEnd(HWND edit) {
    CStepTimer timer(kCaret);
    const LRESULT length = ::SendMessageA(edit, WM_GETTEXTLENGTH, 0, 0);
    CHARRANGE end = {static_cast<LONG>(length), static_cast<LONG>(length)};
    if (!m_options.caretAlways) {
      CHARRANGE current = {};
      ::SendMessageA(edit, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&current));
      if (current.cpMin == end.cpMin && current.cpMax == end.cpMax) return;
    }
    ::SendMessageA(edit, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&end));
  }

  // With yellowHead, the first yellowHead characters are then turned yellow
  // (the nick of a line put in whole).
  void Piece(Console& console, COLORREF colour, const char* text, long yellowHead = 0) {
    CaretToEnd(console.edit);
    CHARRANGE head = {};
    ::SendMessageA(console.edit, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&head));
    CHARFORMATA format = {};
    format.cbSize = sizeof format;
    format.dwMask = CFM_COLOR;
    format.crTextColor = colour;
    if (m_options.fullFormat) {
      format.dwMask |= CFM_SIZE | CFM_FACE;
      format.yHeight = kChatConsoleStyle.heightTwips;
      lstrcpynA(format.szFaceName, kChatConsoleStyle.faceName, LF_FACESIZE);
    }
    {
      CStepTimer timer(kFormat);
      ::SendMessageA(console.edit, EM_SETCHARFORMAT, SCF_SELECTION,
                     reinterpret_cast<LPARAM>(&format));
    }
    {
      CStepTimer timer(kInsert);
      ::SendMessageA(console.edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text));
    }
    if (yellowHead > 0) {
      CStepTimer timer(kFormat);
      head.cpMax = head.cpMin + yellowHead;
      ::SendMessageA(console.edit, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&head));
      format.crTextColor = kNickYellow;
      ::SendMessageA(console.edit, EM_SETCHARFORMAT, SCF_SELECTION,
                     reinterpret_cast<LPARAM>(&format));
      CaretToEnd(console.edit);
    }
    LRESULT lines;
    {
      CStepTimer timer(kCount);
      lines = ::SendMessageA(console.edit, EM_GETLINECOUNT, 0, 0);
    }
    if (lines >= kChatConsoleStyle.lineCap) Trim(console);
  }

  void Trim(Console& console) {
    FINDTEXTA find = {};
    find.chrg.cpMin = 0;
    find.chrg.cpMax = -1;
    find.lpstrText = "\r\n";
    LRESULT lineBreak;
    {
      CStepTimer timer(kFind);
      lineBreak = ::SendMessageA(console.edit, EM_FINDTEXT, FR_DOWN | FR_MATCHCASE,
                                 reinterpret_cast<LPARAM>(&find));
    }
    if (lineBreak < 0) return;
    const long end = static_cast<long>(lineBreak) + 2;
    if (m_options.trimBySelection || console.range == nullptr) {
      CStepTimer timer(kDelete);
      CHARRANGE line = {0, end};
      ::SendMessageA(console.edit, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&line));
      ::SendMessageA(console.edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(""));
      CaretToEnd(console.edit);
    } else {
      CStepTimer timer(kDelete);
      console.range->SetRange(0, end);
      console.range->SetText(nullptr);
    }
    if (m_options.undo == Options::Undo::Empty) {
      CStepTimer undoTimer(kUndo);
      ::SendMessageA(console.edit, EM_EMPTYUNDOBUFFER, 0, 0);
    }
  }

  const Options m_options;
  HWND m_frame = nullptr;
  Console m_consoles[kConsoles];
  DWORD m_lastRepaint = 0;
};

// Ours: the real pages through the real link, the last page shown.
class COurConsoles : public CFedPageHost {
 public:
  COurConsoles(HWND frame, const Options& options)
      : CFedPageHost(frame, BusyChannelNames(kConsoles)), m_frame(frame), m_options(options) {}
  HWND Frame() const { return m_frame; }

  void Fill() {
    for (int i = 0; i < kConsoles; ++i) {
      while (Lines(i) < kChatConsoleStyle.lineCap - 10) {
        std::string frames;
        for (int n = 0; n < 100; ++n) frames += ChatFrame(i);
        FeedUntilHandled(std::move(frames), Page(kShown));
      }
    }
  }
  // count lines, to the shown page or spread; returns when all are handled.
  void Deliver(bool spread, int count) {
    std::string frames;
    for (int n = 0; n < count; ++n)
      frames += ChatFrame(spread ? SpreadConsole(m_options, m_spreadIndex++) : kShown);
    FeedUntilHandled(std::move(frames), Page(kShown));
  }
  long long Lines(int i) {
    return ::SendDlgItemMessageA(Page(i)->m_hWnd, IDC_CHANNEL_CONSOLE, EM_GETLINECOUNT, 0, 0);
  }
  // The shown page's console, in page and frame coordinates.
  void Places(RECT* page, RECT* console) {
    HWND edit = ::GetDlgItem(Page(kShown)->m_hWnd, IDC_CHANNEL_CONSOLE);
    ::GetWindowRect(edit, console);
    ::MapWindowPoints(nullptr, Page(kShown)->m_hWnd, reinterpret_cast<POINT*>(console), 2);
    ::GetWindowRect(Page(kShown)->m_hWnd, page);
    ::MapWindowPoints(nullptr, m_frame, reinterpret_cast<POINT*>(page), 2);
  }

 private:
  std::string ChatFrame(int page) {
    return FrameBytes(MsgChannelText, BusyChatPayload(page, m_numbers[page]++));
  }

  HWND m_frame;
  const Options m_options;
  int m_numbers[kConsoles] = {};
  long long m_spreadIndex = 0;
};

struct Minute {
  double linesPerSecond = 0;
  double stallMs = 0;
};

// Brings the kind's window to the top, so its shown console paints.
void Raise(HWND frame) {
  ::SetWindowPos(frame, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  ::UpdateWindow(frame);
  PumpPending();
}

Minute FloorMinute(CFloorConsoles& floor, const Options& options, bool spread, double seconds,
                   long long* lines) {
  Raise(floor.Frame());
  for (double& us : g_stepUs) us = 0;
  CResponsiveness responsiveness;
  responsiveness.Start();
  const auto start = BenchClock::now();
  long long count = 0;
  while (SecondsSince(start) < seconds) {
    floor.Line(spread ? SpreadConsole(options, *lines) : kShown);
    ++count;
    ++*lines;
    CStepTimer timer(kPump);
    PumpPending();
  }
  Minute minute;
  minute.linesPerSecond = count / SecondsSince(start);
  floor.Repaint();
  minute.stallMs = responsiveness.Stop();
  std::printf("  %s, us per line:", spread ? "f11" : "f1");
  for (int step = 0; step < kSteps; ++step)
    std::printf(" %s %.0f", kStepNames[step], g_stepUs[step] / count);
  std::printf("\n");
  return minute;
}

Minute OurMinute(COurConsoles& ours, bool spread, double seconds, long long* lines) {
  Raise(ours.Frame());
  const int kChunk = 110;
  CResponsiveness responsiveness;
  responsiveness.Start();
  const auto start = BenchClock::now();
  long long count = 0;
  while (SecondsSince(start) < seconds) {
    ours.Deliver(spread, kChunk);
    count += kChunk;
    *lines += kChunk;
  }
  Minute minute;
  minute.linesPerSecond = count / SecondsSince(start);
  minute.stallMs = responsiveness.Stop();
  return minute;
}

// Microseconds for 1,000 blocks of the process heap of sizes from low to
// high, allocated and then freed: whether the heap itself slows, and for
// which sizes (its free lists are searched first fit above 256 bytes).
double HeapProbeUs(SIZE_T low, SIZE_T high) {
  static void* blocks[1000];
  LARGE_INTEGER start, end;
  HANDLE heap = ::GetProcessHeap();
  ::QueryPerformanceCounter(&start);
  for (int i = 0; i < 1000; ++i) blocks[i] = ::HeapAlloc(heap, 0, low + (i * 97) % (high - low));
  for (void* block : blocks) ::HeapFree(heap, 0, block);
  ::QueryPerformanceCounter(&end);
  return 1e6 * double(end.QuadPart - start.QuadPart) / g_frequency.QuadPart;
}

const char* const kKinds[] = {"f1", "o1", "f11", "o11"};

double Ratio(const Minute& a, const Minute& b) {
  return b.linesPerSecond > 0 ? a.linesPerSecond / b.linesPerSecond : 0;
}

}  // namespace

int main(int argc, char** argv) {
  const int minutes = argc > 1 ? std::atoi(argv[1]) : 3;
  const double seconds = argc > 2 ? std::atof(argv[2]) : 60;
  Options options;
  for (int i = 3; i < argc; ++i) {
    if (!ParseOption(argv[i], &options)) {
      std::printf("unknown option %s\n", argv[i]);
      return 2;
    }
  }
  if (options.lowFragmentationHeap) {
    ULONG lowFragmentation = 2;
    const BOOL set = ::HeapSetInformation(::GetProcessHeap(), HeapCompatibilityInformation,
                                          &lowFragmentation, sizeof lowFragmentation);
    std::printf("low-fragmentation process heap: %s\n", set ? "on" : "refused");
  }
  ::QueryPerformanceFrequency(&g_frequency);
  if (!StartPluginEnvironment()) return 1;
  HWND frame = ::CreateWindowExA(0, "STATIC", "ours", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 900,
                                 700, nullptr, nullptr, ::GetModuleHandleA(nullptr), nullptr);
  {
    COurConsoles ours(frame, options);
    RECT pagePlace, consolePlace;
    ours.Places(&pagePlace, &consolePlace);
    CFloorConsoles floor(pagePlace, consolePlace, options);
    ours.Fill();
    floor.Fill();
    std::printf(
        "11 consoles of each kind at the cap (%lld and %lld display lines), %d minute(s) of %.0f "
        "s per kind, floor: format=%s trim=%s hidden=%s undo=%s caret=%s order=%s pieces=%s\n",
        ours.Lines(0), floor.Lines(0), minutes, seconds, options.fullFormat ? "full" : "colour",
        options.trimBySelection ? "select" : "range", options.hiddenHeld ? "off" : "on",
        options.undo == Options::Undo::Empty       ? "empty"
        : options.undo == Options::Undo::LimitZero ? "limit0"
                                                   : "keep",
        options.caretAlways ? "always" : "check", options.bursts ? "bursts" : "turn",
        options.onePiece ? "one" : "two");
    std::fflush(stdout);
    std::vector<Minute> first(4), last(4);
    long long lines[4] = {};
    for (int m = 1; m <= minutes; ++m) {
      Minute now[4];
      for (int k = 0; k < 4; ++k) {
        if (!Runs(options, kKinds[k])) continue;
        const bool spread = k >= 2;
        now[k] = k % 2 == 0 ? FloorMinute(floor, options, spread, seconds, &lines[k])
                            : OurMinute(ours, spread, seconds, &lines[k]);
        if (m == 1) first[k] = now[k];
        last[k] = now[k];
      }
      const double smallUs = HeapProbeUs(16, 240), middleUs = HeapProbeUs(256, 4000),
                   largeUs = HeapProbeUs(4096, 16384);
      const Footprint footprint = MeasureFootprint();
      std::printf("minute %2d:", m);
      for (int k = 0; k < 4; ++k) {
        if (!Runs(options, kKinds[k])) continue;
        std::printf(" %s %.0f/s (%lld lines, stall %.0f ms);", kKinds[k], now[k].linesPerSecond,
                    lines[k], now[k].stallMs);
      }
      std::printf(
          " ours/floor 1 %.2f, 11 %.2f; 11/1 floor %.2f, ours %.2f; committed %lld KiB, heap "
          "busy %lld KiB; 1,000 heap blocks of 16-240, 256-4000, 4096-16384 bytes in %.0f, %.0f, "
          "%.0f us\n",
          Ratio(now[1], now[0]), Ratio(now[3], now[2]), Ratio(now[2], now[0]),
          Ratio(now[3], now[1]), footprint.pagefileBytes / 1024, footprint.heapBusyBytes / 1024,
          smallUs, middleUs, largeUs);
      std::fflush(stdout);
    }
    std::printf("last minute / first minute:");
    for (int k = 0; k < 4; ++k) {
      if (Runs(options, kKinds[k])) std::printf(" %s %.2f;", kKinds[k], Ratio(last[k], first[k]));
    }
    std::printf(" display lines of console 1: ours %lld, floor %lld\n", ours.Lines(0),
                floor.Lines(0));
  }
  ::DestroyWindow(frame);
  ::WSACleanup();
  return 0;
}
