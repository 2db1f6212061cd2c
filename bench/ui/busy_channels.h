// The busy channels the many-pages benchmarks feed: their names and a chat
// line of about 150 characters, two-thirds of them Japanese, numbered so no
// two lines of a channel are alike.
#pragma once

#include <string>
#include <vector>

// "#busy01" for page 0.
std::string BusyChannelName(int page);
// The names of the first count busy channels.
std::vector<std::string> BusyChannelNames(int count);
// The nick of the line's sender.
std::string BusyChatNick(int number);
// The line's text, without channel or nick.
std::string BusyChatText(int number);
// A chat line's payload for page (403: channel, nick, text).
std::string BusyChatPayload(int page, int number);
