// The client's screen colours, named once: the pages and the consoles take
// them from here rather than writing RGB values of their own. White and the
// diagnostic blue are the link's (link/log_sink.h), since the link writes
// lines in them too; they are COLORREF values like the rest.
#pragma once

#include "framework/afxwin.h"
#include "link/log_sink.h"

// Backgrounds: consoles, lists and the input box are black.
constexpr COLORREF kBlack = RGB(0, 0, 0);

// Console lines (kWhite and kDiagnosticColour come with link/log_sink.h).
constexpr COLORREF kMotdGreen = RGB(0, 255, 0);        // the message of the day
constexpr COLORREF kCyan = RGB(0, 255, 255);           // the leave line, a refused rich text
constexpr COLORREF kNickYellow = RGB(255, 255, 0);     // a chat line's nickname
constexpr COLORREF kEnteredGreen = RGB(128, 255, 0);   // a user entered
constexpr COLORREF kLeftPink = RGB(255, 128, 128);     // a user left
constexpr COLORREF kTopicBlue = RGB(0, 0, 255);        // a topic change
constexpr COLORREF kActionMagenta = RGB(255, 0, 255);  // an action line
