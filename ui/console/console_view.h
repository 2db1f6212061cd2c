// CConsoleView: a read-only rich edit control that shows traffic as coloured
// lines on black. The chat console of a channel page and the server-message
// console of the manager page are this one class with different ConsoleStyle
// settings (face, height, line cap, RTF guard). A page holds one
// as a member, e.g. CConsoleView m_serverLog{kServerConsoleStyle}, binds it to
// its control with DDX_Control and calls SetUp in its dialog initialisation.
//
// Threads: the control belongs to the user-interface thread. AppendConsole
// may be called on any thread: from another thread it sends the whole append
// to the control's thread (WM_CONSOLE_APPEND, see SendConsoleAppend) and
// returns once the text is in. Everything else runs on the user-interface
// thread only.
#pragma once

#include "framework/afxwin.h"
#include "ui/console/burst_redraw.h"
#include "ui/console/console_find.h"

struct ITextDocument;
struct ITextRange;

struct ConsoleStyle {
  const char* faceName;
  LONG heightTwips;
  // When an append leaves the control reporting this many lines or more, the
  // oldest text line goes.
  int lineCap;
  // Every text is screened with IsUnsafeRtf; a refused one is replaced by
  // the refusal line.
  bool guardRtf;
};

// The chat console of a channel page. Defined with the page
// (ui/pages/channel_page.cpp).
extern const ConsoleStyle kChatConsoleStyle;
// The server-message console of the manager page.
extern const ConsoleStyle kServerConsoleStyle;

// What a guarded console shows instead of a refused text (in kCyan).
extern const char kRefusedRtfLine[];

// An append carried to the control's thread by WM_CONSOLE_APPEND.
struct ConsoleAppendRequest {
  COLORREF colour;
  const char* text;
};

// Appends to the console window from any thread, as one whole operation on
// the window's thread; the caller waits. Needs only the handle, so it is safe
// after the console's window (and object) are gone: it then does nothing.
void SendConsoleAppend(HWND console, COLORREF colour, const char* text);

class CConsoleView : public CRichEditCtrl {
 public:
  explicit CConsoleView(const ConsoleStyle& style) : m_style(style) {}
  ~CConsoleView() override;

  // Once, after the control is attached: default character format, black
  // background, selection kept and shown while the control lacks the focus.
  void SetUp();
  // Appends text (whole lines ending in "\r\n", or pieces of one line) at the
  // end in colour, web links underlined; the focus stays where it is. Nothing
  // happens while the control has no window.
  void AppendConsole(COLORREF colour, const char* text);
  // Empties the console, as the page's /clear asks (console_clear.cpp): a
  // marker goes with its line, and the text that comes next is new.
  void Clear();
  // Repaints this console's bursts together with other's control (a list
  // beside it that changes in the same bursts): see CBurstRedraw::PaceWith.
  void PaceRedrawWith(CBurstRedraw* other) { m_redraw.PaceWith(other); }
  // Ctrl+F, F3 and Shift+F3 from the console's page: Find in this console
  // (ui/console/console_find.h). true when taken.
  bool PreTranslateFindKey(const MSG& msg) { return m_find.PreTranslateKey(msg); }
  // The console's page is being hidden: its Find dialog closes.
  void CloseFind() { m_find.Close(); }

  // The reader's place (ui/console/console_reader.cpp). The console's page
  // is hidden: the text that arrives from now on is new to the reader.
  void ReaderLeaves();
  // The page is shown again: when new text came while it was hidden, a
  // marker line is drawn above it (over the control, never in its text)
  // until it is trimmed away or the next return with new text moves it. A
  // burst's held redrawing is shown with the page.
  void ReaderReturns();
  // Scrolls the first new line to the top and selects it, so a screen
  // reader starts there. false, nothing changed, without a marker.
  bool SelectFirstNewLine();
  // The character position of the first new line under the marker, -1
  // when there is none.
  long MarkerPosition() const { return m_markerAt; }

 protected:
  // Lets go of the text objects and the burst pacing before the window goes.
  afx_msg void OnDestroy();
  // WM_CONSOLE_APPEND: one whole append on the control's thread.
  afx_msg LRESULT OnConsoleAppend(WPARAM wParam, LPARAM lParam);
  // A click on a web link opens it: the button goes down and up on the same
  // link, with no drag between (ui/console/console_links.cpp).
  afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
  afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
  // FINDMSGSTRING from this console's Find dialog.
  afx_msg LRESULT OnFindReplace(WPARAM wParam, LPARAM lParam);
  // The control paints itself, then the marker line goes over it.
  afx_msg void OnPaint();
  // WM_VSCROLL, WM_MOUSEWHEEL and WM_KEYDOWN: the reader may have moved the
  // view, which the next append then asks the control about.
  afx_msg LRESULT OnReaderMoves(WPARAM wParam, LPARAM lParam);

 private:
  void AppendHere(COLORREF colour, const char* text);
  void MoveCaretToEnd();
  // What the reader made of the console before an append: a selection (or
  // caret) away from the end and a view away from the end, both kept.
  struct ReaderPlace {
    long anchor;
    long active;
    bool keepSelection;
    bool keepView;
    // The first character of the first line shown, and the view's offset
    // in pixels from the scroll bar (-1 when the bar does not count pixels).
    long firstShown;
    int viewTop;
    // A drag holds the mouse (active is then the end at the pointer).
    bool dragging;
  };
  // false when the console just follows its end: the append then goes as
  // it always did, with no question about the view.
  bool ReadReaderPlace(const CHARRANGE& selection, long length, ReaderPlace* place);
  // Which end of a selection being dragged is the anchor.
  void ReadDragEnds(const CHARRANGE& selection, ReaderPlace* place);
  // After the append, trimmed characters (pixelsTrimmed high, when the view
  // is kept) gone from the top.
  void RestoreReaderPlace(const ReaderPlace& place, long trimmed, int pixelsTrimmed);
  // The kept view back over its text; the scroll bar's position afterwards.
  int PutViewBack(const ReaderPlace& place, long trimmed, int pixelsTrimmed);
  // The last line of text is (partly) in view.
  bool ViewAtEnd(long length);
  // The marker, the reader's leaving point and a pressed link follow a trim.
  void ShiftMarksBy(long trimmed);
  // Inserts text at the caret in format, its web links underlined.
  void InsertShowingLinks(CHARFORMATA* format, const char* text);
  void InsertPiece(const char* piece, std::size_t length);
  // The control position where the web link under point begins, or -1;
  // the link is opened when that position is openIfAt.
  long LinkStartAt(CPoint point, long openIfAt = -1);
  // Removes the oldest text line with its "\r\n" when the cap is reached;
  // the number of characters removed, and their height in pixels when
  // asked (pixelsTrimmed not null).
  long TrimToCap(int* pixelsTrimmed);
  // Deletes the first text line, whose break the control's messages put at
  // lineBreak, without touching the selection or the view. false, deleting
  // nothing, when the control offers no text object model, or its range
  // refuses or reads no line break there: the caller then deletes through
  // the messages, and so does every later trim of this console.
  bool DeleteQuietlyThrough(long lineBreak);
  bool DeleteThroughRange(long lineBreak);
  void ReleaseTextObjects();

  const ConsoleStyle m_style;
  // The last text went in ending in an underlined link.
  bool m_endsInLink = false;
  // Where the link the left button went down on begins, or -1.
  long m_pressedLink = -1;
  CConsoleFind m_find{*this};
  // A burst of appends is repainted now and then, not after every line.
  CBurstRedraw m_redraw;
  // The control's text object model, asked for at the first trim; null when
  // not asked yet, not offered or given up after a refusal
  // (m_textObjectsTried tells which). Released with the window.
  ITextDocument* m_textDocument = nullptr;
  ITextRange* m_trimRange = nullptr;
  // What the range's text is replaced with to delete it.
  BSTR m_emptyText = nullptr;
  bool m_textObjectsTried = false;

  // The reader's place (console_reader.cpp). A scroll, wheel or key reached
  // the control since the last append.
  bool m_viewMayHaveMoved = false;
  // The selection the last append left, and whether it left the view away
  // from the end, its first line starting at m_awayFirstShown.
  CHARRANGE m_selectionLeft = {-1, -1};
  // The anchor of a drag's selection as the last append put it back.
  long m_dragAnchorLeft = -1;
  bool m_viewAway = false;
  long m_awayFirstShown = 0;
  // The text length when the page was hidden; -1 while it is shown.
  long m_leftAt = -1;
  // The first new line's position under the marker; -1 for no marker.
  long m_markerAt = -1;

  DECLARE_MESSAGE_MAP()
};
