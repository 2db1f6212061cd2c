// Names and lines of the busy channels. See busy_channels.h.
#include "busy_channels.h"

#include <cstdio>

std::string BusyChannelName(int page) {
  char name[16];
  std::snprintf(name, sizeof name, "#busy%02d", page + 1);
  return name;
}

std::vector<std::string> BusyChannelNames(int count) {
  std::vector<std::string> names;
  for (int i = 0; i < count; ++i) names.push_back(BusyChannelName(i));
  return names;
}

std::string BusyChatNick(int number) {
  char nick[16];
  std::snprintf(nick, sizeof nick, "user%02d", number % 37);
  return nick;
}

std::string BusyChatText(int number) {
  char text[400];
  std::snprintf(text, sizeof text,
                "今日の会議の資料を共有フォルダに置きました。"
                "確認をお願いします。No.%06d 明日は十時から別の部屋で打ち合わせです。"
                "Please read the notes before the meeting, thanks!",
                number);
  return text;
}

std::string BusyChatPayload(int page, int number) {
  return BusyChannelName(page) + " " + BusyChatNick(number) + " " + BusyChatText(number);
}
