// Consoles: set-up, coloured appends, the guard, the line cap, the focus and
// scroll rules, appends from another thread and the log sink.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "link/log_sink.h"
#include "tests/support/ui_test_support.h"
#include "ui/console/console_view.h"
#include "ui/seams/console_log_sink.h"
// After the socket library's headers, which must come before windows.h.
#include <richole.h>
#include <tom.h>

#include "ui/console/text_object_ids.h"

namespace {

const int kConsoleId = 1000;
const int kInputId = 1002;

// Counts the scroll requests a console receives and the focus its input box
// gets; installed under the console object, so it sees what the object sends
// on to the control.
std::atomic<int> g_scrollRequests{0};
std::atomic<int> g_inputFocusCount{0};
WNDPROC g_editProc = nullptr;
WNDPROC g_inputProc = nullptr;
LRESULT CALLBACK CountScrolls(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == EM_SCROLLCARET) ++g_scrollRequests;
  return ::CallWindowProcA(g_editProc, hWnd, message, wParam, lParam);
}
LRESULT CALLBACK CountFocus(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_SETFOCUS) ++g_inputFocusCount;
  return ::CallWindowProcA(g_inputProc, hWnd, message, wParam, lParam);
}

// Consoles of a given style in a test window, with an input box beside them,
// each attached to a CConsoleView.
class ConsoleTest : public testing::Test {
 protected:
  void SetUp() override {
    input = ::CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE | WS_BORDER, 0, 310, 200, 20,
                              window.Handle(), reinterpret_cast<HMENU>(kInputId),
                              ::GetModuleHandleA(nullptr), nullptr);
    g_inputProc = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrA(input, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CountFocus)));
  }

  CConsoleView* Open(const ConsoleStyle& style, int width = 400) {
    consoles.push_back(std::make_unique<CConsoleView>(style));
    CConsoleView* view = consoles.back().get();
    HWND edit = CreateRichEdit(window.Handle(), kConsoleId + static_cast<int>(consoles.size()) - 1,
                               0, 0, width, 300);
    g_editProc = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrA(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CountScrolls)));
    EXPECT_TRUE(view->SubclassWindow(edit));
    view->SetUp();
    console = view;
    return view;
  }

  void TearDown() override { window.Destroy(); }

  HWND Console() const { return console->m_hWnd; }

  CTestWindow window;
  std::vector<std::unique_ptr<CConsoleView>> consoles;
  CConsoleView* console = nullptr;
  HWND input = nullptr;
};

TEST_F(ConsoleTest, SetUpGivesBlackBackgroundDefaultFaceAndKeptSelection) {
  Open(kChatConsoleStyle);
  CHARFORMATA format = {};
  format.cbSize = sizeof(format);
  ::SendMessageA(Console(), EM_GETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&format));
  EXPECT_STREQ("SYSTEM", format.szFaceName);
  EXPECT_EQ(270, format.yHeight);
  EXPECT_TRUE(::SendMessageA(Console(), EM_GETOPTIONS, 0, 0) & ECO_SAVESEL);
  // The background colour is read back by setting it again.
  EXPECT_EQ(RGB(0, 0, 0),
            static_cast<COLORREF>(::SendMessageA(Console(), EM_SETBKGNDCOLOR, 0, RGB(0, 0, 0))));
}

TEST_F(ConsoleTest, PiecesKeepTheirColoursFaceAndHeight) {
  Open(kServerConsoleStyle);
  console->AppendConsole(RGB(255, 255, 0), "<alice> ");
  console->AppendConsole(RGB(255, 255, 255), "こんにちは world\r\n");
  console->AppendConsole(RGB(0, 127, 255), "Connect 失敗\r\n");
  EXPECT_EQ("", CompareConsole(Console(), {{"<alice> ", RGB(255, 255, 0)},
                                           {"こんにちは world\r\n", RGB(255, 255, 255)},
                                           {"Connect 失敗\r\n", RGB(0, 127, 255)}}));
  CHARRANGE all = {0, -1};
  ::SendMessageA(Console(), EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&all));
  CHARFORMATA format = {};
  format.cbSize = sizeof(format);
  ::SendMessageA(Console(), EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
  EXPECT_STREQ("ＭＳ Ｐゴシック", format.szFaceName);
  EXPECT_EQ(180, format.yHeight);

  // Text after a piece that ends on a web link is no longer underlined, even
  // when the caret was moved away in between.
  Open(kServerConsoleStyle);
  console->AppendConsole(RGB(255, 255, 255), "見て http://example.org/a");
  ::SendMessageA(Console(), EM_SETSEL, 0, 2);  // the reader selects: the caret moves
  console->AppendConsole(RGB(0, 255, 0), " next\r\n");
  for (const CHARRANGE& range : {CHARRANGE{3, 23}, CHARRANGE{23, 30}}) {
    ::SendMessageA(Console(), EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
    ::SendMessageA(Console(), EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
    EXPECT_TRUE(format.dwMask & CFM_UNDERLINE) << range.cpMin;
    EXPECT_EQ(range.cpMin == 3, (format.dwEffects & CFE_UNDERLINE) != 0) << range.cpMin;
  }
}

TEST_F(ConsoleTest, ChatConsoleRefusesUnsafeRichTextAndServerConsoleShowsIt) {
  const char* unsafe = "{\\rtf1\\f1234 boom}\r\n";
  Open(kChatConsoleStyle);
  console->AppendConsole(RGB(255, 255, 255), "safe\r\n");
  console->AppendConsole(RGB(255, 255, 255), unsafe);
  console->AppendConsole(RGB(255, 255, 255), "{\\rtf1\\f123 fine}\r\n");
  EXPECT_EQ("", CompareConsole(Console(), {{"safe\r\n", RGB(255, 255, 255)},
                                           {"不正なタグを使用！\r\n", RGB(0, 255, 255)},
                                           {"{\\rtf1\\f123 fine}\r\n", RGB(255, 255, 255)}}));
  Open(kServerConsoleStyle);
  console->AppendConsole(RGB(255, 255, 255), unsafe);
  EXPECT_EQ(unsafe, WindowText(Console()));
}

// What a console's text object model answers to a change of its first
// character; E_FAIL when no range could be had (what was got is then left
// unreleased).
HRESULT ChangeThroughRange(HWND console) {
  IRichEditOle* ole = nullptr;
  ITextDocument* document = nullptr;
  ITextRange* range = nullptr;
  ::SendMessageA(console, EM_GETOLEINTERFACE, 0, reinterpret_cast<LPARAM>(&ole));
  if (ole == nullptr ||
      ole->QueryInterface(kTextDocumentIid, reinterpret_cast<void**>(&document)) != S_OK ||
      document->Range(0, 1, &range) != S_OK)
    return E_FAIL;
  BSTR text = ::SysAllocString(L"z");
  const HRESULT result = range->SetText(text);
  ::SysFreeString(text);
  range->Release();
  document->Release();
  ole->Release();
  return result;
}

// Read-only as the templates make them, the consoles' text ranges refuse
// the quiet trim (strict consoles, ui_test_main.cpp, answer as Windows
// does); a writable one lets it through. The trim keeps the console as it
// was for the user: read-only stays so.
TEST_F(ConsoleTest, OneLineAppendsNeverLeaveTheCountAtTheCapOfEitherStyle) {
  struct Case {
    const char* name;
    const ConsoleStyle& style;
    int cap;
    bool readOnly;
  } cases[] = {{"chat console", kChatConsoleStyle, 1000, true},
               {"server console", kServerConsoleStyle, 500, true},
               {"writable server console", kServerConsoleStyle, 500, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Open(c.style);
    ::SendMessageA(Console(), EM_SETREADONLY, c.readOnly, 0);
    char line[32];
    const int appends = c.cap + 200;
    for (int i = 1; i <= appends; ++i) {
      wsprintfA(line, "line %04d\r\n", i);
      console->AppendConsole(RGB(255, 255, 255), line);
      ASSERT_LT(ConsoleLineCount(Console()), c.cap) << "after append " << i;
    }
    // cap - 2 whole lines ending in "\r\n" (a count of cap - 1): the oldest
    // went first.
    const std::string text = WindowText(Console());
    wsprintfA(line, "line %04d\r\n", appends - (c.cap - 2) + 1);
    EXPECT_EQ(0u, text.find(line));
    EXPECT_EQ((c.cap - 2) * 11u, text.size());
    ::SendMessageA(Console(), WM_CHAR, 'x', 0);
    EXPECT_EQ(c.readOnly, WindowText(Console()) == text) << "a typed key";
    EXPECT_EQ(c.readOnly ? E_ACCESSDENIED : S_OK, ChangeThroughRange(Console()));
  }
}

TEST_F(ConsoleTest, AMultiLineAppendAtTheCapRemovesOneLineAndPiecesBringTheCountDown) {
  Open(kChatConsoleStyle);
  for (int i = 0; i < 998; ++i) console->AppendConsole(RGB(255, 255, 255), "x\r\n");
  ASSERT_EQ(999, ConsoleLineCount(Console()));
  console->AppendConsole(RGB(255, 255, 255), "a\r\nb\r\nc\r\n");
  EXPECT_EQ(1001, ConsoleLineCount(Console()));
  console->AppendConsole(RGB(255, 255, 0), "<nick> ");
  EXPECT_EQ(1000, ConsoleLineCount(Console()));
  console->AppendConsole(RGB(255, 255, 0), "more ");
  EXPECT_EQ(999, ConsoleLineCount(Console()));
}

TEST_F(ConsoleTest, AWrappedFirstLineIsRemovedWholeUpToItsLineBreak) {
  // A narrow console with a small cap: the first text line wraps over many
  // display lines.
  const ConsoleStyle smallCap = {"SYSTEM", 270, 12, true};
  Open(smallCap, 200);
  std::string longLine;
  for (int i = 0; i < 12; ++i) longLine += "word ";
  longLine += "END\r\n";
  console->AppendConsole(RGB(255, 255, 255), longLine.c_str());
  const int wrapped = ConsoleLineCount(Console());
  ASSERT_GT(wrapped, 3) << "the long line must wrap";
  ASSERT_LT(wrapped, smallCap.lineCap);
  char line[16];
  for (int i = 0; console->GetLineCount() < smallCap.lineCap - 1 && i < 20; ++i) {
    wsprintfA(line, "s%02d\r\n", i);
    console->AppendConsole(RGB(255, 255, 255), line);
  }
  console->AppendConsole(RGB(255, 255, 255), "last\r\n");
  const std::string text = WindowText(Console());
  EXPECT_EQ(std::string::npos, text.find("word")) << text;
  EXPECT_EQ(std::string::npos, text.find("END")) << text;
  EXPECT_EQ(0u, text.find("s00\r\n")) << text;
}

// A control whose messages put the first line break one character later
// than its text objects do: the range reads no break there, and the
// messages trim instead, so the cap still holds.
WNDPROC g_findProc = nullptr;
LRESULT CALLBACK FindOneLater(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
  const LRESULT result = ::CallWindowProcA(g_findProc, hWnd, message, wParam, lParam);
  return message == EM_FINDTEXT && result >= 0 ? result + 1 : result;
}

TEST_F(ConsoleTest, ATrimWhosePositionSystemsDisagreeStillHoldsTheCap) {
  const ConsoleStyle smallCap = {"SYSTEM", 270, 5, true};
  Open(smallCap);
  ::SendMessageA(Console(), EM_SETREADONLY, FALSE, 0);
  g_findProc = reinterpret_cast<WNDPROC>(
      ::SetWindowLongPtrA(Console(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&FindOneLater)));
  char line[16];
  for (int i = 0; i < 8; ++i) {
    wsprintfA(line, "line %d\r\n", i);
    console->AppendConsole(RGB(255, 255, 255), line);
  }
  EXPECT_LT(ConsoleLineCount(Console()), smallCap.lineCap);
  const std::string text = WindowText(Console());
  EXPECT_EQ(std::string::npos, text.find("line 0")) << text;
  EXPECT_EQ(text.size() - 16, text.find("line 6\r\nline 7\r\n")) << text;
}

void FillLines(CConsoleView* view, int count) {
  for (int i = 0; i < count; ++i) view->AppendConsole(RGB(255, 255, 255), "filler line\r\n");
}

int FirstVisibleLine(HWND view) {
  return static_cast<int>(::SendMessageA(view, EM_GETFIRSTVISIBLELINE, 0, 0));
}

TEST_F(ConsoleTest, WithoutTheFocusAnAppendScrollsTheNewTextIntoView) {
  Open(kChatConsoleStyle);
  ::SetFocus(input);
  g_scrollRequests = 0;
  FillLines(console, 60);
  EXPECT_EQ(60, g_scrollRequests.load());
  EXPECT_GT(FirstVisibleLine(Console()), 0);
  EXPECT_EQ(input, ::GetFocus());
}

// Each move of the focus is announced by a screen reader: no line moves it.
TEST_F(ConsoleTest, WithTheFocusEitherConsoleKeepsItAndFollowsTheNewText) {
  for (const ConsoleStyle* style : {&kChatConsoleStyle, &kServerConsoleStyle}) {
    SCOPED_TRACE(style == &kChatConsoleStyle ? "chat console" : "server console");
    Open(*style);
    ::SetFocus(Console());
    g_inputFocusCount = 0;
    FillLines(console, 60);
    EXPECT_EQ(0, g_inputFocusCount.load());
    EXPECT_EQ(Console(), ::GetFocus());
    EXPECT_GT(FirstVisibleLine(Console()), 0);
  }
}

std::string FirstShownText(HWND view) {
  return WindowText(view).substr(::SendMessageA(view, EM_LINEINDEX, FirstVisibleLine(view), 0), 7);
}
// "line NN", or six words "NNNN.00" to "NNNN.05" that a narrow console
// wraps, each display line then starting with a word of its own.
void AppendNumbered(CConsoleView* view, int from, int count, bool words = false) {
  char line[64];
  for (int i = from; i < from + count; ++i) {
    wsprintfA(line, words ? "%04d.00 %04d.01 %04d.02 %04d.03 %04d.04 %04d.05\r\n" : "line %02d\r\n",
              i, i, i, i, i, i);
    view->AppendConsole(RGB(255, 255, 255), line);
  }
}
// The mouse, pointer and all, at "line NN"'s fourth character.
void MouseAt(HWND view, int line, UINT message = WM_MOUSEMOVE) {
  POINTL at = {};
  ::SendMessageA(view, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&at), line * 9 + 3);
  POINT screen = {at.x + 1, at.y + 5};
  ::ClientToScreen(view, &screen);
  ::SetCursorPos(screen.x, screen.y);
  ::SendMessageA(view, message, MK_LBUTTON, MAKELPARAM(at.x + 1, at.y + 5));
}
WNDPROC g_oleProc = nullptr;
LRESULT CALLBACK NoTextObjects(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == EM_GETOLEINTERFACE) return 0;
  return ::CallWindowProcA(g_oleProc, hWnd, message, wParam, lParam);
}

// 38 lines of 9 characters capped at 40: three appends trim "line 00" to "02".
TEST_F(ConsoleTest, TheReadersSelectionAndViewStayOnTheirTextThroughAppendsAndTrims) {
  enum Reader { kAtEnd, kSelects, kScrollsUp, kScrollsToTop, kSelectsIntoTrim, kReturns, kDrags };
  struct Case {
    const char* name;
    Reader reader;
    std::string selected;    // afterwards; empty: the caret is at the end
    std::string firstShown;  // afterwards; empty: the end in view; "kept": as before
    bool tall = false;       // 1,000 wrapped lines in a narrow console, 200 appends
  } cases[] = {{"at the end", kAtEnd, "", ""},
               {"a selection", kSelects, "line 05", "kept"},
               {"scrolled up", kScrollsUp, "", "line 05"},
               {"the text shown trimmed", kScrollsToTop, "", "line 03"},
               {"a selection partly trimmed", kSelectsIntoTrim, "line 03\r\nline", "kept"},
               {"scrolled back to the end", kReturns, "", ""},
               {"a drag upwards", kDrags, "e 05\r\nline 06\r\nline 07\r\nline 08\r\nline 09\r\nlin",
                "line 05"},
               // Past the 16 bits of a scroll bar, whose position is then scaled.
               {"scrolled up in a text taller than 65,535 pixels", kScrollsUp, "", "kept", true}};
  const ConsoleStyle capped = {"SYSTEM", 270, 40, true};
  Open(capped, 150);  // room for 1,000 lines as many display lines as this one
  AppendNumbered(console, 0, 1, true);
  const ConsoleStyle tall = {"SYSTEM", 270, 1000 * (console->GetLineCount() - 1) + 2, true};
  for (const Case& c : cases) {
    for (const int variant : {0, 1, 2}) {  // no focus, focus, trims by the messages
      SCOPED_TRACE(testing::Message() << c.name << ", variant " << variant);
      Open(c.tall ? tall : capped, c.tall ? 150 : 400);
      if (variant == 2) {
        g_oleProc = reinterpret_cast<WNDPROC>(::SetWindowLongPtrA(
            Console(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&NoTextObjects)));
      }
      ::SetFocus(variant == 1 ? Console() : input);
      AppendNumbered(console, 0, c.tall ? 1000 : 38, c.tall);
      POINTL top = {}, last = {};  // the text's height, against 16 bits
      ::SendMessageA(Console(), EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&top), 0);
      ::SendMessageA(Console(), EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&last),
                     console->GetTextLength());
      ASSERT_EQ(c.tall, last.y - top.y > 0xFFFF);
      if (c.reader == kSelects) console->SetSel(5 * 9, 5 * 9 + 7);
      if (c.reader == kSelectsIntoTrim) console->SetSel(9 + 5, 4 * 9 + 4);
      if (c.reader != kAtEnd && c.reader != kSelects && c.reader != kSelectsIntoTrim)
        ::SendMessageA(Console(), WM_VSCROLL, SB_TOP, 0);
      for (int i = 0; (c.reader == kScrollsUp || c.reader == kDrags) && i < 5; ++i)
        ::SendMessageA(Console(), WM_VSCROLL, SB_LINEDOWN, 0);
      if (c.reader == kReturns) ::SendMessageA(Console(), WM_VSCROLL, SB_BOTTOM, 0);
      if (c.tall) ::SendMessageA(Console(), WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 30000), 0);
      if (c.reader == kDrags) {  // from "line 10" up to "line 06"
        MouseAt(Console(), 10, WM_LBUTTONDOWN);
        MouseAt(Console(), 6);
      }
      const std::string shownBefore = FirstShownText(Console());
      AppendNumbered(console, c.tall ? 1000 : 38, c.tall ? 200 : 3, c.tall);
      ASSERT_EQ(0u, WindowText(Console()).find(c.tall ? "0200.00" : "line 03\r\n"));
      if (c.reader == kDrags) {  // on up to "line 05", the third line now
        MouseAt(Console(), 2);
        MouseAt(Console(), 2, WM_LBUTTONUP);
      }
      EXPECT_EQ(c.selected, SelectedText(Console()));
      // At the end the view starts past line 20 (16 of 40 lines in view).
      const bool end = c.firstShown.empty() && FirstVisibleLine(Console()) > 20;
      EXPECT_EQ(c.firstShown == "kept" ? shownBefore : c.firstShown,
                end ? "" : FirstShownText(Console()));
      EXPECT_EQ(variant == 1 || c.reader == kDrags ? Console() : input, ::GetFocus());
    }
  }
}

TEST_F(ConsoleTest, TheMarkerSitsOverTheFirstNewLineMovesWithTrimsAndGoesWithItsText) {
  const ConsoleStyle capped = {"SYSTEM", 270, 12, true};  // trims from line 11
  Open(capped);
  AppendNumbered(console, 0, 5);
  console->ReaderLeaves();
  console->ReaderReturns();
  EXPECT_EQ(-1, console->MarkerPosition()) << "no new lines, no marker";
  console->ReaderLeaves();
  AppendNumbered(console, 5, 3);
  console->ReaderReturns();
  ASSERT_EQ(5 * 9, console->MarkerPosition());
  AppendNumbered(console, 8, 4);  // trims "line 00" and "line 01"
  EXPECT_EQ(3 * 9, console->MarkerPosition());
  console->ReaderLeaves();
  AppendNumbered(console, 12, 1);
  console->ReaderReturns();
  EXPECT_EQ(static_cast<long>(WindowText(Console()).find("line 12")), console->MarkerPosition());
  AppendNumbered(console, 13, 10);
  EXPECT_EQ(-1, console->MarkerPosition()) << "its text trimmed away";
}

// Runs work on a worker thread while this thread pumps, as the UI thread
// does while the link's worker appends.
template <typename Work>
void RunOnWorkerWhilePumping(Work work) {
  std::atomic<bool> done{false};
  std::thread worker([&] {
    work();
    done = true;
  });
  PumpUntil(60000, [&] { return done.load(); });
  worker.join();
}

TEST_F(ConsoleTest, AnAppendFromAnotherThreadIsInTheConsoleWhenItReturns) {
  Open(kServerConsoleStyle);
  // The worker holds no focus: its appends scroll even while the console
  // has the focus on this thread.
  ::SetFocus(Console());
  g_scrollRequests = 0;
  std::vector<std::string> seen;
  RunOnWorkerWhilePumping([&] {
    char line[32];
    for (int i = 0; i < 20; ++i) {
      wsprintfA(line, "worker %02d\r\n", i);
      console->AppendConsole(RGB(0, 127, 255), line);
      seen.push_back(WindowText(Console()));
    }
  });
  ASSERT_EQ(20u, seen.size());
  EXPECT_EQ(20, g_scrollRequests.load());
  EXPECT_EQ(Console(), ::GetFocus());
  for (int i = 0; i < 20; ++i) {
    char line[32];
    wsprintfA(line, "worker %02d\r\n", i);
    EXPECT_NE(std::string::npos, seen[i].find(line)) << "append " << i;
  }
  EXPECT_EQ("", CompareConsole(Console(), {{seen.back(), RGB(0, 127, 255)}}));
}

TEST_F(ConsoleTest, AppendsFromBothThreadsStayWholeLines) {
  Open(kServerConsoleStyle);
  RunOnWorkerWhilePumping([&] {
    for (int i = 0; i < 50; ++i) console->AppendConsole(RGB(0, 127, 255), "from the worker\r\n");
  });
  for (int i = 0; i < 50; ++i) console->AppendConsole(RGB(255, 255, 255), "from the ui\r\n");
  const std::string text = WindowText(Console());
  std::size_t lines = 0;
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t end = text.find("\r\n", at);
    ASSERT_NE(std::string::npos, end);
    const std::string line = text.substr(at, end - at);
    EXPECT_TRUE(line == "from the worker" || line == "from the ui") << line;
    at = end + 2;
    ++lines;
  }
  EXPECT_EQ(100u, lines);
}

TEST_F(ConsoleTest, LogSinkWritesFormattedLinesFromTheWorker) {
  Open(kServerConsoleStyle);
  CConsoleLogSink sink;
  sink.Attach(*console);
  const std::string longText(1100, 'x');
  RunOnWorkerWhilePumping([&] {
    LogLine(&sink, RGB(0, 127, 255), "Recv: [%04u][%04u] %s\r\n", 2u, 3u, "ok");
    LogLine(&sink, RGB(0, 255, 0), nullptr);
    LogWhiteLine(&sink, nullptr);
    LogWhiteLine(&sink, "{\\rtf1\\f1234 %s}\r\n", "kept");
    LogWhiteLine(&sink, "%s", longText.c_str());
  });
  EXPECT_EQ("", CompareConsole(Console(), {{"Recv: [0002][0003] ok\r\n", RGB(0, 127, 255)},
                                           {"\r\n", RGB(0, 255, 0)},
                                           {"\r\n", RGB(255, 255, 255)},
                                           {"{\\rtf1\\f1234 kept}\r\n", RGB(255, 255, 255)},
                                           {std::string(1023, 'x'), RGB(255, 255, 255)}}));
}

TEST_F(ConsoleTest, LogSinkAfterItsConsoleIsGoneDoesNothing) {
  Open(kServerConsoleStyle);
  CConsoleLogSink sink;
  sink.Attach(*console);
  LogWhiteLine(&sink, "seen\r\n");
  EXPECT_EQ("seen\r\n", WindowText(Console()));
  // As at shutdown: the window goes, then the object, while a worker that
  // is still ending writes a last line.
  window.Destroy();
  consoles.clear();
  RunOnWorkerWhilePumping([&] { LogLine(&sink, RGB(0, 127, 255), "too late\r\n"); });
  CConsoleLogSink unattached;
  LogWhiteLine(&unattached, "nowhere\r\n");
  EXPECT_TRUE(consoles.empty());
}

}  // namespace
