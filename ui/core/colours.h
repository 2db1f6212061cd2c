// The client's screen colours, named once: the pages, the consoles and the
// channel message table take them from here rather than writing RGB values
// of their own. Plain values in the window system's COLORREF layout (the
// link's LogColour), with no Windows headers, so the table builds natively
// too. The link's own diagnostic blue is kDiagnosticColour (link/log_sink.h).
#pragma once

#include "link/log_sink.h"

// Backgrounds: consoles, lists and the input box are black.
constexpr LogColour kBlack = Rgb(0, 0, 0);

// Console lines; white is also the lists' text, the input box's and the
// tab labels'.
constexpr LogColour kWhite = Rgb(255, 255, 255);
constexpr LogColour kMotdGreen = Rgb(0, 255, 0);        // the message of the day
constexpr LogColour kCyan = Rgb(0, 255, 255);           // leave line, refused text, unsent line
constexpr LogColour kNickYellow = Rgb(255, 255, 0);     // a chat line's nickname
constexpr LogColour kEnteredGreen = Rgb(128, 255, 0);   // a user entered
constexpr LogColour kLeftPink = Rgb(255, 128, 128);     // a user left
constexpr LogColour kTopicBlue = Rgb(0, 0, 255);        // a topic change
constexpr LogColour kActionMagenta = Rgb(255, 0, 255);  // an action line
// The line above a chat console's first line that came while its page was
// hidden: 8:1 against the console's black, and no line's colour.
constexpr LogColour kReadMarker = Rgb(160, 160, 160);

// Tab marks, drawn where a tab's face is darkest: each 3:1 or more against
// the faces (and a dark plain tab), apart from each other, and neither near
// the selected tab's blue.
constexpr LogColour kNewsMark = Rgb(80, 255, 80);     // a chat or action line from someone else
constexpr LogColour kMentionMark = Rgb(255, 192, 0);  // such a line naming the user
// The same marks on a light face (a plain tab in the system's colours), where
// the bright ones would fade: 3:1 or more against any face lighter than
// mid-grey.
constexpr LogColour kNewsMarkOnLight = Rgb(0, 110, 0);
constexpr LogColour kMentionMarkOnLight = Rgb(150, 80, 0);
