// The messages about users rather than channels, turned into what a page
// shows: a private message (205) for the page of the person who sent it,
// the line the server console shows for one no page can take, the block of
// a user's information (604) and the line of a server notice (404). Pure
// functions over the caller's buffers, nothing allocated; any thread, though
// the pages call them on the user-interface thread.
#pragma once

#include "link/link_event.h"
#include "ui/core/channel_messages.h"

// A 205 from person ("<person> <text>", the sender exactly): the chat line
// "<person> text" as a channel's chat shows it. false (and *effect
// untouched) for any other message or sender.
bool ReadPrivateMessage(const MessageRecord& record, const char* person,
                        ChannelMessageEffect* effect);

// The sender of a 205, copied into nick (kConsoleLineSize bytes). false for
// any other message and for one that names no sender.
bool ReadPrivateSender(const MessageRecord& record, char* nick);

// The server console's line for a 205 that no page could show:
// "[個人メッセージ] <sender> text".
void FormatUnshownPrivateLine(const MessageRecord& record, ConsolePiece* line);

// A 604 as a short block, a line per field: the nickname, status, online
// for (h:mm:ss), channels, files, line speed (SpeedName) and client.
enum : int { kUserInfoLines = 7 };
struct UserInfoBlock {
  int count;
  ConsolePiece lines[kUserInfoLines];
};
// false (and *block untouched) for any other message.
bool FormatUserInfo(const MessageRecord& record, UserInfoBlock* block);
// The nickname a 604 is about, copied into nick (kConsoleLineSize bytes);
// false for any other message.
bool ReadUserInfoNick(const MessageRecord& record, char* nick);

// A 404's text as a readable line in the diagnostics colour.
void FormatServerNotice(const MessageRecord& record, ConsolePiece* line);
