// CConsoleLogSink: the link's log sink written into a console, so the manager
// page wires its server-message console to the link with one line:
//   m_logSink.Attach(&m_serverLog); link.SetLogSink(&m_logSink);
// and logs its own lines through LogLine / LogWhiteLine (link/log_sink.h),
// which format into a zero-filled 1024-byte buffer, cut beyond 1023
// characters and turn a null format into "\r\n".
//
// Threads: the link calls it on its worker thread, the page on the
// user-interface thread; CConsoleView::AppendConsole carries a worker's
// append to the user-interface thread and waits. Attach while no worker runs.
#pragma once

#include "link/log_sink.h"
#include "ui/console_view.h"

class CConsoleLogSink : public ILogSink {
 public:
  CConsoleLogSink() = default;
  explicit CConsoleLogSink(CConsoleView* console) : m_console(console) {}
  CConsoleLogSink(const CConsoleLogSink&) = delete;
  CConsoleLogSink& operator=(const CConsoleLogSink&) = delete;
  virtual ~CConsoleLogSink() = default;

  void Attach(CConsoleView* console) { m_console = console; }

  // Both do nothing while there is no console or it has no window.
  void AppendLine(LogColour colour, const char* text) override;
  void AppendWhiteLine(const char* text) override;

 private:
  CConsoleView* m_console = nullptr;
};
