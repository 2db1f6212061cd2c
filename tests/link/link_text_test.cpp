// The pure text side of the link: NextToken over a payload copy, the server
// address grammar, the message catalogue's channel tests, input-line rules
// and field extraction, and log-line formatting.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "link/cp932_text.h"
#include "link/log_sink.h"
#include "link/message_catalogue.h"
#include "link/payload.h"
#include "link/server_address.h"

namespace {

// Every token NextToken yields for text, then one call past the end.
std::vector<std::string> Tokens(const char* text, int calls) {
  CPayloadCopy copy(text, std::strlen(text));
  std::vector<std::string> tokens;
  for (int i = 0; i < calls; ++i) tokens.push_back(copy.Token());
  return tokens;
}

using Strings = std::vector<std::string>;

}  // namespace

TEST(NextToken, SplitsAtSingleSpacesAndStaysAtTheEnd) {
  EXPECT_EQ((Strings{"a", "b", "", ""}), Tokens("a b", 4));
  EXPECT_EQ((Strings{"a", "", "b"}), Tokens("a  b", 3));
  EXPECT_EQ((Strings{"", "a", ""}), Tokens(" a", 3));
  EXPECT_EQ((Strings{"", ""}), Tokens("", 2));
}

TEST(NextToken, LeavesTheRestWithItsSpaces) {
  CPayloadCopy copy("ch nick some text", 17);
  EXPECT_STREQ("ch", copy.Token());
  EXPECT_STREQ("nick", copy.Token());
  EXPECT_STREQ("some text", copy.Rest());
}

TEST(NextToken, NullAddressOrNullCursorGivesNull) {
  EXPECT_EQ(nullptr, NextToken(nullptr));
  char* cursor = nullptr;
  EXPECT_EQ(nullptr, NextToken(&cursor));
  EXPECT_EQ(nullptr, cursor);
  EXPECT_EQ(nullptr, NextQuotedToken(&cursor));
}

TEST(PayloadCopy, AnOverlongPayloadIsCutToOneFrame) {
  const std::string payload(2000, 'x');
  CPayloadCopy copy(payload.data(), payload.size());
  EXPECT_EQ(std::string(kMaxReceivePayload, 'x'), copy.Token());
}

TEST(ServerAddress, TakesHostPortAndSecondField) {
  struct Case {
    const char* text;
    const char* host;
    unsigned port;
    const char* second;
  } cases[] = {
      {"host:4000", "host", 4000, "quiet"},
      {"host:4000@", "host", 4000, "quiet"},
      {"host:4000@guest", "host", 4000, "guest"},
      {"h:1@k@f", "h", 1, "f"},                // split at the last '@'
      {"host:4000x", "host", 4000, "quiet"},   // text after the digits ignored
      {"host:70000", "host", 4464, "quiet"},   // low 16 bits
      {"host: 12", "host", 12, "quiet"},       // leading white space skipped
      {"host: ", "host", 0, "quiet"},          // white space alone: port 0
      {"a:b:5", "a:b", 5, "quiet"},            // the last ':' splits
      {"h:1@x\x81\x40", "h", 1, "x\x81\x40"},  // 0x40 inside a character is no '@'
  };
  for (const Case& c : cases) {
    ServerAddress address;
    ASSERT_TRUE(ParseServerAddress(c.text, &address)) << c.text;
    EXPECT_EQ(c.host, address.host) << c.text;
    EXPECT_EQ(c.port, address.port) << c.text;
    EXPECT_EQ(c.second, address.secondField) << c.text;
  }
}

TEST(ServerAddress, RefusesAddressesWithoutHostOrPort) {
  for (const char* text : {"", "host", "host:", ":4000", "host:x", "@x", "host@x:1"}) {
    ServerAddress address;
    EXPECT_FALSE(ParseServerAddress(text, &address)) << text;
  }
}

TEST(Catalogue, SpeedNamesUseTheLow16Bits) {
  EXPECT_STREQ("Unknown", SpeedName(0));
  EXPECT_STREQ("DSL", SpeedName(8));
  EXPECT_STREQ("T3+", SpeedName(10));
  EXPECT_STREQ("N/A", SpeedName(11));
  EXPECT_STREQ("N/A", SpeedName(12));
  EXPECT_STREQ("14.4K", SpeedName(65537));
}

TEST(Catalogue, ChannelPrefixNeedsTheWholeFirstToken) {
  EXPECT_TRUE(IsChannelPrefix("#c nick hi", "#c"));
  EXPECT_TRUE(IsChannelPrefix("#c", "#c"));
  EXPECT_FALSE(IsChannelPrefix("#cat nick hi", "#c"));
  EXPECT_FALSE(IsChannelPrefix("x #c nick", "#c"));
  EXPECT_FALSE(IsChannelPrefix("#C nick", "#c"));
  EXPECT_TRUE(IsChannelPrefix("\x83\x60\x83\x83 nick", "\x83\x60\x83\x83"));
}

TEST(Catalogue, ChannelExactNeedsTheWholePayload) {
  EXPECT_TRUE(IsChannelExact("#c", "#c"));
  EXPECT_FALSE(IsChannelExact("#c x", "#c"));
  EXPECT_FALSE(IsChannelExact("#cat", "#c"));
}

const ChannelFieldSet kNickAndNumbers = {true, true};
const ChannelFieldSet kNickOnly = {true, false};
const ChannelFieldSet kRestOnly = {false, false};

TEST(Catalogue, UserFieldsTakeNickFilesAndSpeed) {
  CPayloadCopy entered("#c nick 70000 12", 16);
  ChannelFields f = ReadChannelFields(entered, kNickAndNumbers);
  EXPECT_STREQ("#c", f.channel);
  EXPECT_STREQ("nick", f.nick);
  EXPECT_EQ(4464u, f.files);
  EXPECT_STREQ("N/A", SpeedName(f.speed));

  CPayloadCopy listed("#c nick 3 8", 11);
  f = ReadChannelFields(listed, kNickAndNumbers);
  EXPECT_EQ(3u, f.files);
  EXPECT_STREQ("DSL", SpeedName(f.speed));

  CPayloadCopy bare("#c nick", 7);
  f = ReadChannelFields(bare, kNickAndNumbers);
  EXPECT_EQ(0u, f.files);
  EXPECT_STREQ("Unknown", SpeedName(f.speed));
}

TEST(Catalogue, TextFieldsKeepTheRestWithItsSpaces) {
  CPayloadCopy chat("#c nick hello  there", 20);
  ChannelFields f = ReadChannelFields(chat, kNickOnly);
  EXPECT_STREQ("nick", f.nick);
  EXPECT_STREQ("hello  there", f.rest);

  CPayloadCopy topic("#c the topic", 12);
  f = ReadChannelFields(topic, kRestOnly);
  EXPECT_STREQ("", f.nick);
  EXPECT_STREQ("the topic", f.rest);

  CPayloadCopy entry("#c", 2);
  ChannelListFields row = ReadChannelListFields(entry);
  EXPECT_STREQ("#c", row.channel);
  EXPECT_STREQ("", row.users);
  EXPECT_STREQ("", row.topic);
}

TEST(Catalogue, UserInformationTakesQuotedFieldsWithTheirSpaces) {
  struct Case {
    const char* payload;
    const char* fields;  // nick|level|seconds|channels|status|files|downloads|uploads|speed|client
  } cases[] = {
      {"bob \"User\" 70000 \"#a \x82\xa0\" \"Active\" 70000 3 4 8 \"Velmo v1.0\"",
       "bob|User|70000|#a \x82\xa0|Active|70000|3|4|8|Velmo v1.0"},
      // A quote ends a field only before a space or the end; more fields are ignored.
      {"bob \"a\"b\" 1 \"x\"y z\" \"\" 0 0 0 0 \"c\" 9 \"more\"", "bob|a\"b|1|x\"y z||0|0|0|0|c"},
      {"bob User 5 #a Away 1 2 3 4 Client", "bob|User|5|#a|Away|1|2|3|4|Client"},
      {"bob \"User\" 12", "bob|User|12|||0|0|0|0|"},
      {"bob \"User 12 \"x", "bob|User 12 \"x|0|||0|0|0|0|"},
      {"bob \"", "bob||0|||0|0|0|0|"},
      {"", "||0|||0|0|0|0|"},
  };
  for (const Case& c : cases) {
    CPayloadCopy copy(c.payload, std::strlen(c.payload));
    const UserInfoFields f = ReadUserInfoFields(copy);
    char read[kFrameBufferSize + 64];
    std::snprintf(read, sizeof read, "%s|%s|%u|%s|%s|%u|%u|%u|%u|%s", f.nick, f.level,
                  f.secondsOnline, f.channels, f.status, f.files, f.downloads, f.uploads, f.speed,
                  f.client);
    EXPECT_STREQ(c.fields, read) << c.payload;
  }
}

TEST(Catalogue, ActionTextDropsTheQuotesAndNeverStepsOutside) {
  CPayloadCopy action("#c nick \"waves\"", 15);
  ChannelFields f = ReadChannelFields(action, kNickOnly);
  EXPECT_STREQ("waves", UnquoteActionText(const_cast<char*>(f.rest)));
  char one[] = "\"";
  EXPECT_STREQ("", UnquoteActionText(one));
  char none[] = "";
  EXPECT_STREQ("", UnquoteActionText(none));
  char two[] = "\"\"";
  EXPECT_STREQ("", UnquoteActionText(two));
  // Without its quotes, a rest never loses half of a double-byte character.
  char unquoted[] = "\x88\x9f" "ab" "\x88\x9f";
  EXPECT_STREQ("ab", UnquoteActionText(unquoted));
  char open[] = "\"" "\x88\x9f";
  EXPECT_STREQ("", UnquoteActionText(open));
}

TEST(InputLine, ChoosesChatOrActionByPrefix) {
  struct Case {
    const char* line;
    MessageType type;
    const char* text;
  } cases[] = {
      {"/ME hi", MsgAction, "hi"},
      {"/me hi", MsgAction, "hi"},
      {"/action hi", MsgAction, "hi"},
      {"/Action hi", MsgChat, "/Action hi"},
      {"/me", MsgChat, "/me"},
      {"/mex", MsgChat, "/mex"},
      {"\x82\x60me hi", MsgChat, "\x82\x60me hi"},
  };
  for (const Case& c : cases) {
    OutgoingLine out;
    ASSERT_TRUE(PrepareInputLine("#c", c.line, &out)) << c.line;
    EXPECT_EQ(c.type, out.type) << c.line;
    EXPECT_STREQ(c.text, out.text) << c.line;
    EXPECT_STREQ(c.type == MsgAction ? "%s \"%s\"" : "%s %s", out.format) << c.line;
  }
  OutgoingLine out;
  EXPECT_FALSE(PrepareInputLine("#c", "", &out));
}

TEST(InputLine, ChatIsCutTo500BytesWithoutSplittingACharacter) {
  OutgoingLine out;
  const std::string ascii(600, 'a');
  ASSERT_TRUE(PrepareInputLine("#c", ascii.c_str(), &out));
  EXPECT_EQ(std::string(500, 'a'), out.text);

  // A double-byte character over bytes 500 and 501 is dropped whole.
  const std::string straddling = std::string(499, 'a') + "\x82\xa0" + "b";
  ASSERT_TRUE(PrepareInputLine("#c", straddling.c_str(), &out));
  EXPECT_EQ(std::string(499, 'a'), out.text);

  // One ending exactly at byte 500 stays.
  const std::string fitting = std::string(498, 'a') + "\x82\xa0" + "b";
  ASSERT_TRUE(PrepareInputLine("#c", fitting.c_str(), &out));
  EXPECT_EQ(std::string(498, 'a') + "\x82\xa0", out.text);
}

TEST(InputLine, ActionIsCutJustEnoughToFitOneFrame) {
  OutgoingLine out;
  const std::string channel = "#chan";
  // Room for the text: 1019 - 5 (channel) - 3 (space and quotes) = 1011.
  std::string dbcs;
  while (dbcs.size() < 1100) dbcs += "\x82\xa0";
  ASSERT_TRUE(PrepareInputLine(channel.c_str(), ("/me " + dbcs).c_str(), &out));
  EXPECT_EQ(1010u, std::strlen(out.text));  // 1011 would split a character
  const std::string exact(1011, 'x');
  ASSERT_TRUE(PrepareInputLine(channel.c_str(), ("/action " + exact).c_str(), &out));
  EXPECT_EQ(exact, out.text);
}

TEST(InputLine, APrivateLineGoesAsTypedAndIsCutAsChat) {
  OutgoingLine out;
  ASSERT_TRUE(PreparePrivateLine("bob", "/me waves", &out));
  EXPECT_STREQ("/me waves", out.text);
  ASSERT_TRUE(PreparePrivateLine("bob", (std::string(499, 'a') + "\x82\xa0").c_str(), &out));
  EXPECT_EQ(std::string(499, 'a'), out.text);
  EXPECT_FALSE(PreparePrivateLine("bob", "", &out));
}

TEST(Cp932Text, CutsOnCharacterBoundaries) {
  EXPECT_EQ(1u, CharBoundaryLength("a\x82\xa0", 2));
  EXPECT_EQ(3u, CharBoundaryLength("a\x82\xa0", 3));
  EXPECT_EQ(2u, CharBoundaryLength("a\x82", 5));  // broken trailing lead byte
}

TEST(LogLine, FormatsIntoOneBufferCutAt1023) {
  const std::string longText(2000, 'z');
  struct Capture : ILogSink {
    std::string text;
    void AppendLine(LogColour, const char* t) override { text = t; }
    void AppendWhiteLine(const char* t) override { text = t; }
  } sink;
  LogLine(&sink, Rgb(1, 2, 3), "%s", longText.c_str());
  EXPECT_EQ(std::string(1023, 'z'), sink.text);
  LogWhiteLine(&sink, nullptr);
  EXPECT_EQ("\r\n", sink.text);
  LogLine(&sink, Rgb(255, 255, 255), "[%04u][%04u] %s\r\n", 2u, 403u, "ab");
  EXPECT_EQ("[0002][0403] ab\r\n", sink.text);
  EXPECT_EQ(0x00FF7F00u, kDiagnosticColour);
}

TEST(LogLine, AnOverlongLineIsCutOnACharacterAndKeepsItsLineBreak) {
  // Two-byte characters, some with a second byte that could also lead one.
  auto wide = [](const char* pair, int count) {
    std::string text;
    for (int i = 0; i < count; ++i) text += pair;
    return text;
  };
  struct Case {
    const char* name;
    const char* format;
    std::string argument;
    std::string expected;
  } cases[] = {
      {"single bytes, line break kept", "%s\r\n", std::string(1030, 'a'),
       std::string(1021, 'a') + "\r\n"},
      // "[Motd] x" is 8 bytes: 506 characters fit before the "\r\n", the
      // 507th would straddle the cut.
      {"character straddling the cut goes whole", "[Motd] %s\r\n", "x" + wide("\x82\xa0", 600),
       "[Motd] x" + wide("\x82\xa0", 506) + "\r\n"},
      {"no line break: the cut would leave a lone lead byte", "%s", wide("\x89\x81", 600),
       wide("\x89\x81", 511)},
      {"second bytes in the lead range", "%s\r\n", "ab" + wide("\x88\x9f", 600),
       "ab" + wide("\x88\x9f", 509) + "\r\n"},
      {"a line that fits is untouched", "%s\r\n", wide("\x82\xa0", 510),
       wide("\x82\xa0", 510) + "\r\n"},
  };
  struct Capture : ILogSink {
    std::string text;
    void AppendLine(LogColour, const char* t) override { text = t; }
    void AppendWhiteLine(const char* t) override { text = t; }
  } sink;
  for (const Case& c : cases) {
    LogLine(&sink, Rgb(255, 255, 255), c.format, c.argument.c_str());
    EXPECT_EQ(c.expected, sink.text) << c.name;
    EXPECT_LE(sink.text.size(), 1023u) << c.name;
  }
}
