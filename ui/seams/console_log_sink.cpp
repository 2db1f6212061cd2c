// The log sink over a console window. See console_log_sink.h for the threads.
#include "ui/seams/console_log_sink.h"

#include "ui/core/colours.h"
#include "ui/seams/window_link_target.h"

void CConsoleLogSink::AppendLine(LogColour colour, const char* text) {
  SendConsoleAppend(m_console.load(), colour, text);
}

void CConsoleLogSink::AppendWhiteLine(const char* text) { AppendLine(kWhite, text); }

void CConsoleLogSink::ServePendingAppends() { ServeSentMessages(); }
