// The log sink over a console. See console_log_sink.h for the threads.
#include "ui/console_log_sink.h"

void CConsoleLogSink::AppendLine(LogColour colour, const char* text) {
  if (m_console != nullptr) m_console->AppendConsole(colour, text);
}

void CConsoleLogSink::AppendWhiteLine(const char* text) { AppendLine(kWhite, text); }
