// The messages a channel page takes, in one table: per message type the
// channel test, the fields its payload carries, the console pieces it shows
// (format and colour), the user-list change and the topic change.
// ReadChannelMessage turns one received message into what the page must do;
// the page only applies the result to its controls. Adding a message type
// is one row here (and one test row, tests/ui_core/channel_messages_test.cpp).
//
// No window system (colours are plain COLORREF-layout values), so the fuzz
// target and the native tests run the very same function. Pure; any thread,
// though the page calls it on the user-interface thread. Nothing allocated:
// the result is a fixed set of 1024-byte buffers on the caller's stack.
#pragma once

#include <cstddef>
#include <cstdint>

#include "link/link_event.h"
#include "link/log_sink.h"
#include "link/message_catalogue.h"
#include "ui/core/console_line.h"

enum class ChannelTest {
  kExact,   // the whole payload is the channel name
  kPrefix,  // the payload's first token is the channel name
};

// The text a message carries after its fields.
enum class ChannelText {
  kNone,
  kRest,        // the rest, spaces included
  kQuotedRest,  // the rest without its first and last character (the quotes)
};

// What a console piece's format is given.
enum class PieceArguments {
  kNone,            // the format is the piece's whole text
  kNick,            // the nick
  kText,            // the message's text
  kNickSpeedFiles,  // the nick, SpeedName(speed), the file count
};

enum class UserListChange {
  kNone,
  kAdd,     // a row: nick, file count, SpeedName(speed)
  kRemove,  // the first row whose nick is the same, byte for byte
  kClear,   // every row: the entries of a confirmed join follow
};

struct PieceRule {
  const char* format;  // null: no piece
  PieceArguments arguments;
  LogColour colour;
};

enum : int { kMaxPiecesPerMessage = 2 };

struct ChannelMessageRow {
  MessageType type;
  ChannelTest test;
  ChannelFieldSet fields;
  ChannelText text;
  PieceRule pieces[kMaxPiecesPerMessage];  // written in this order
  UserListChange listChange;
  const char* topicFormat;  // given the page's channel name and the text; null: no change
  // Someone else's line of this type marks the page's tab while it is
  // hidden (TabMarkOfLine, ui/core/tab_mark.h).
  bool marksTab;
};

// The table's rows, for the fuzz target and the tests to walk.
struct ChannelMessageRows {
  const ChannelMessageRow* first;
  std::size_t count;
  const ChannelMessageRow* begin() const { return first; }
  const ChannelMessageRow* end() const { return first + count; }
};
ChannelMessageRows AllChannelMessages();

// The row of a type; null for a type no channel page takes.
const ChannelMessageRow* FindChannelMessage(unsigned type);

// The text a row's message carries after fields (read from copy): "" for
// kNone, the rest for kRest, and for kQuotedRest the rest without its quotes
// (in the copy; a rest too short for two quotes gives the empty text).
const char* ReadChannelText(const ChannelMessageRow& row, CPayloadCopy& copy,
                            const ChannelFields& fields);

struct ConsolePiece {
  LogColour colour;
  char text[kConsoleLineSize];
};

// What one message asks of the page, applied in this order: the list
// change, the topic, then the pieces.
struct ChannelMessageEffect {
  UserListChange listChange;
  char nick[kConsoleLineSize];
  std::uint32_t files;  // low 16 bits
  std::uint32_t speed;
  bool topicChanged;
  char topic[kConsoleLineSize];
  char text[kConsoleLineSize];  // ReadChannelText's, for the mention check
  int pieceCount;
  ConsolePiece pieces[kMaxPiecesPerMessage];
};

// false (and *effect untouched) when the message is not for the page of
// channel: a type without a row, or a payload that fails the row's test.
bool ReadChannelMessage(const MessageRecord& record, const char* channel,
                        ChannelMessageEffect* effect);

// The effect of a chat line from nick with text, shown as the chat row
// (403) shows one: its pieces, nick and text; no list or topic change. For
// the lines a page shows that are no channel's (private messages, one's
// own private lines). Both texts are cut to the buffers.
void FormatChatLine(const char* nick, const char* text, ChannelMessageEffect* effect);
