// CConsoleLogSink: the link's log sink written into a console. The manager
// page attaches it to its server-message console in its dialog
// initialisation, and the page host hands it to the link:
//   m_logSink.Attach(m_serverLog);                   // CManagerPage
//   m_link.SetLogSink(m_managerPage.GetLogSink());   // CPageHostDlg
// The page logs its own lines through LogLine / LogWhiteLine
// (link/log_sink.h), which format into a zero-filled 1024-byte buffer, cut
// beyond 1023 bytes (never inside a double-byte character) and turn a null
// format into "\r\n".
//
// The sink keeps only the console's window handle: once that window is gone
// (before the console object goes, always), a line from a worker that is
// still ending does nothing, whatever has been destroyed meanwhile.
//
// Threads: the link calls it on its worker thread, the page on the
// user-interface thread; each append runs whole on the user-interface thread
// while the caller waits. Attach on the user-interface thread.
#pragma once

#include <atomic>

#include "link/log_sink.h"
#include "ui/console/console_view.h"

class CConsoleLogSink : public ILogSink {
 public:
  CConsoleLogSink() = default;
  CConsoleLogSink(const CConsoleLogSink&) = delete;
  CConsoleLogSink& operator=(const CConsoleLogSink&) = delete;
  virtual ~CConsoleLogSink() = default;

  // The console must have its window.
  void Attach(const CConsoleView& console) { m_console = console.m_hWnd; }

  // Both do nothing while no console window is attached or it is gone.
  void AppendLine(LogColour colour, const char* text) override;
  void AppendWhiteLine(const char* text) override;
  // Runs the appends other threads are waiting in (ServeSentMessages).
  void ServePendingAppends() override;

 private:
  std::atomic<HWND> m_console{nullptr};
};
