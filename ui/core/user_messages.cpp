// Private messages, user information and server notices as lines of a
// page. See user_messages.h.
#include "ui/core/user_messages.h"

#include <string_view>

#include "link/message_catalogue.h"
#include "link/payload.h"
#include "ui/core/colours.h"

namespace {

// The first token of a payload into nick; false when it is empty.
bool CopyFirstToken(const MessageRecord& record, char* nick) {
  std::string_view rest(record.payload, record.length);
  const std::string_view token = NextToken(rest);
  if (token.empty()) return false;
  FormatConsoleLine(nick, "%.*s", static_cast<int>(token.size()), token.data());
  return true;
}

}  // namespace

bool ReadPrivateMessage(const MessageRecord& record, const char* person,
                        ChannelMessageEffect* effect) {
  if (record.type != MsgPrivateMessage || record.payload == nullptr ||
      !IsChannelPrefix(record.payload, person)) {
    return false;
  }
  CPayloadCopy copy(record);
  copy.Token();
  FormatChatLine(person, copy.Rest(), effect);
  return true;
}

bool ReadPrivateSender(const MessageRecord& record, char* nick) {
  return record.type == MsgPrivateMessage && record.payload != nullptr &&
         CopyFirstToken(record, nick);
}

void FormatUnshownPrivateLine(const MessageRecord& record, ConsolePiece* line) {
  CPayloadCopy copy(record);
  const char* sender = copy.Token();
  line->colour = kWhite;
  FormatConsoleLine(line->text, "[個人メッセージ] <%s> %s\r\n", sender, copy.Rest());
}

bool FormatUserInfo(const MessageRecord& record, UserInfoBlock* block) {
  if (record.type != MsgUserInfo || record.payload == nullptr) return false;
  CPayloadCopy copy(record);
  const UserInfoFields info = ReadUserInfoFields(copy);
  const unsigned seconds = info.secondsOnline;
  ConsolePiece* lines = block->lines;
  FormatConsoleLine(lines[0].text, "ユーザー情報: %s\r\n", info.nick);
  FormatConsoleLine(lines[1].text, "  状態: %s\r\n", info.status);
  FormatConsoleLine(lines[2].text, "  接続時間: %u:%02u:%02u\r\n", seconds / 3600,
                    seconds / 60 % 60, seconds % 60);
  FormatConsoleLine(lines[3].text, "  チャンネル: %s\r\n",
                    info.channels[0] != '\0' ? info.channels : "なし");
  FormatConsoleLine(lines[4].text, "  共有ファイル: %u\r\n", static_cast<unsigned>(info.files));
  FormatConsoleLine(lines[5].text, "  回線: %s\r\n", SpeedName(info.speed));
  FormatConsoleLine(lines[6].text, "  クライアント: %s\r\n", info.client);
  block->count = kUserInfoLines;
  // The heading stands out from the fields under it.
  for (ConsolePiece& line : block->lines) line.colour = kWhite;
  lines[0].colour = kCyan;
  return true;
}

bool ReadUserInfoNick(const MessageRecord& record, char* nick) {
  return record.type == MsgUserInfo && record.payload != nullptr && CopyFirstToken(record, nick);
}

void FormatServerNotice(const MessageRecord& record, ConsolePiece* line) {
  line->colour = kDiagnosticColour;
  FormatConsoleLine(line->text, "[サーバー] %s\r\n",
                    record.payload != nullptr ? record.payload : "");
}
