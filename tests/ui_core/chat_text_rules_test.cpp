// The chat text's decisions without controls: which line marks a hidden tab
// (a nickname as a whole word marks it more), completion and its cycle, the
// input history's walk, edit positions against byte offsets in double-byte
// text, which text is a web link, and which input line is a command.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "link/message_catalogue.h"
#include "ui/core/edit_offsets.h"
#include "ui/core/input_command.h"
#include "ui/core/input_history.h"
#include "ui/core/nick_completion.h"
#include "ui/core/nick_text.h"
#include "ui/core/tab_mark.h"
#include "ui/core/text_search.h"
#include "ui/core/web_link.h"

namespace {

TEST(ChatTextRules, SomeoneElsesChatMarksAHiddenTabAndAWholeWordMentionMarksItMore) {
  const TabMark news = TabMark::kNews;
  const TabMark mention = TabMark::kMention;
  const TabMark none = TabMark::kNone;
  struct Case {
    unsigned type;
    const char* line;
    const char* sender;
    TabMark mark;
  } cases[] = {
      {MsgChannelText, "hi Velmo", "bob", mention},
      {MsgChannelText, "VELMO: look", "bob", mention},
      {MsgChannelText, "velmo", "bob", mention},
      {MsgChannelText, "(velmo)", "bob", mention},
      {MsgChannelText, "hi Velmo!", "bob", mention},
      {MsgChannelText, "hi Velmo, you", "Velmo", none},  // one's own line
      {MsgChannelText, "hi Velmos", "bob", news},
      {MsgChannelText, "hi xVelmo", "bob", news},
      {MsgChannelText, "hi Velmo_2", "bob", news},
      {MsgChannelText, "hi Velmo2", "bob", news},
      {MsgChannelText, "Velmoさん", "bob", mention},  // a double-byte neighbour ends the word
      {MsgChannelText, "こんにちはVelmo", "bob", mention},
      {MsgChannelText, "hi Vel mo", "bob", news},
      {MsgChannelText, "", "bob", news},
      // "ア" is 0x83 0x41: its second byte is no "A" of a word.
      {MsgChannelText,
       "\x83"
       "Avelmo",
       "bob", mention},
      {MsgAction, "waves", "bob", news},
      {MsgAction, "waves at Velmo", "bob", mention},
      {MsgAction, "waves", "Velmo", none},
      {MsgPrivateMessage, "hi", "bob", mention},  // meant for the user, named or not
      // What is not chat never marks, even when it names the user.
      {MsgUserEntered, "Velmo", "bob", none},
      {MsgUserLeft, "Velmo", "bob", none},
      {MsgUserListEntry, "Velmo", "bob", none},
      {MsgTopic, "ask Velmo", "bob", none},
      {MsgChannelNotice, "Velmo", "bob", none},
      {MsgJoined, "Velmo", "bob", none},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(static_cast<int>(c.mark),
              static_cast<int>(TabMarkOfLine(c.type, "Velmo", c.sender, c.line)))
        << c.type << " " << c.line << " from " << c.sender;
  }

  // A nickname whose second byte reads as a letter matches that byte exactly.
  EXPECT_TRUE(MentionsNickname("やあ アキ", "アキ"));
  EXPECT_FALSE(
      MentionsNickname("\x83"
                       "a",
                       "\x83"
                       "A"))
      << "the second byte is not case-folded";
  EXPECT_FALSE(
      MentionsNickname("\x83"
                       "A",
                       "A"))
      << "no match inside a character";
  EXPECT_TRUE(MentionsNickname("hi Nanashi@Velmo001.", "nanashi@velmo001"));
  EXPECT_FALSE(MentionsNickname("anything", ""));
}

// A user list as the completion reads it.
class CNames : public INameList {
 public:
  explicit CNames(std::vector<std::string> names) : m_names(std::move(names)) {}
  int Count() const override { return static_cast<int>(m_names.size()); }
  const char* Name(int row, char* buffer, std::size_t size) const override {
    m_names[row].copy(buffer, size - 1);
    buffer[std::min(size - 1, m_names[row].size())] = '\0';
    return buffer;
  }

 private:
  std::vector<std::string> m_names;
};

TEST(ChatTextRules, CompletionCyclesThroughTheMatchesInListOrder) {
  const CNames names({"alice", "Bob", "bobby", "ボブ"});
  struct Case {
    const char* name;
    std::string line;
    std::size_t caret;
    int tabs;
    std::string completed;  // "" when the Tab is not taken
    std::size_t completedCaret;
  } cases[] = {
      {"start of line", "bo", 2, 1, "Bob: ", 5},
      {"second Tab", "bo", 2, 2, "bobby: ", 7},
      {"round again", "bo", 2, 3, "Bob: ", 5},
      {"mid-line, the rest kept", "x BO there", 4, 1, "x Bob there", 5},
      {"double-byte prefix", "hi ボ", 5, 1, "hi ボブ", 7},
      {"no match", "zz", 2, 1, "", 0},
      {"no partial word", "hi ", 3, 1, "", 0},
      {"caret at the start", "bo", 0, 1, "", 0},
  };
  for (const Case& c : cases) {
    CNickCompletion completion;
    std::string line = c.line;
    std::size_t caret = c.caret;
    bool taken = false;
    for (int i = 0; i < c.tabs; ++i) {
      char out[CNickCompletion::kLineSize];
      taken = completion.Complete(line.c_str(), caret, names, out, &caret);
      if (!taken) break;
      line = out;
    }
    EXPECT_EQ(!c.completed.empty(), taken) << c.name;
    if (!taken) continue;
    EXPECT_EQ(c.completed, line) << c.name;
    EXPECT_EQ(c.completedCaret, caret) << c.name;
  }
}

TEST(ChatTextRules, CompletionStartsAfreshWhenTheLineChanged) {
  const CNames names({"Bob", "bobby", "carol"});
  CNickCompletion completion;
  char out[CNickCompletion::kLineSize];
  std::size_t caret = 0;
  ASSERT_TRUE(completion.Complete("bo", 2, names, out, &caret));
  EXPECT_STREQ("Bob: ", out);
  ASSERT_TRUE(completion.Complete("Bob: c", 6, names, out, &caret));
  EXPECT_STREQ("Bob: carol", out) << "a new word, not the next Bob";
  EXPECT_FALSE(completion.Complete("zz", 2, CNames({}), out, &caret)) << "an empty list";
}

TEST(ChatTextRules, HistoryWalksBackToTheOldestAndForwardToTheDraft) {
  CInputHistory history;
  EXPECT_EQ(nullptr, history.Older("typed")) << "nothing sent yet";
  EXPECT_EQ(nullptr, history.Newer());
  history.Add("one");
  history.Add("two");
  EXPECT_STREQ("two", history.Older("draft"));
  EXPECT_STREQ("one", history.Older("two"));
  EXPECT_EQ(nullptr, history.Older("one")) << "the oldest stays";
  EXPECT_STREQ("two", history.Newer());
  EXPECT_STREQ("draft", history.Newer());
  EXPECT_EQ(nullptr, history.Newer()) << "the walk is over";
  history.Older("draft");
  history.Add("three");
  EXPECT_EQ(nullptr, history.Newer()) << "sending ends the walk";
  history.Add("three");
  EXPECT_STREQ("three", history.Older(""));
  EXPECT_STREQ("two", history.Older("three")) << "a line entered again is held once";
}

TEST(ChatTextRules, HistoryKeepsTheLast50LinesEachCutWhole) {
  CInputHistory history;
  for (int i = 1; i <= 51; ++i) history.Add(std::to_string(i).c_str());
  std::string oldest;
  while (const char* line = history.Older("")) oldest = line;
  EXPECT_EQ("2", oldest);
  // 1022 bytes and a double-byte character do not fit 1023: it goes whole.
  const std::string longLine = std::string(1022, 'a') + "あ";
  history.Add(longLine.c_str());
  EXPECT_EQ(std::string(1022, 'a'), history.Older(""));
}

TEST(ChatTextRules, EditPositionsCountBytesOrCharacters) {
  const char* text = "aあb";  // 4 bytes, 3 characters
  struct Case {
    std::size_t units;  // the control's length: 4 counts bytes, 3 characters
    std::size_t position;
    std::size_t offset;
  } cases[] = {{4, 3, 3}, {4, 9, 4}, {3, 2, 3}, {3, 1, 1}, {3, 3, 4}, {3, 9, 4}};
  for (const Case& c : cases) {
    EXPECT_EQ(c.offset, ByteOffsetOfPosition(text, c.units, c.position)) << c.units << c.position;
    if (c.position <= c.units) {
      EXPECT_EQ(c.position, PositionOfByteOffset(text, c.units, c.offset)) << c.units << c.offset;
    }
  }
}

TEST(ChatTextRules, OnlyHttpAndHttpsRunsAreWebLinks) {
  struct Case {
    const char* text;
    const char* link;  // "" for none
  } cases[] = {
      {"see http://a.example/p?q=1&r=%41#top then", "http://a.example/p?q=1&r=%41#top"},
      {"HtTpS://A.example/", "HtTpS://A.example/"},
      {"<http://a.example>, \"b\"", "http://a.example"},
      {"http://a.example\\share", "http://a.example"},
      {"今http://a.example今", "http://a.example"},
      {"http://", ""},
      {"xhttp://a.example", ""},
      {"file:///c:/windows/x.exe", ""},
      {"mailto:a@example.org", ""},
      {"\\\\server\\share", ""},
      {"javascript:alert(1)", ""},
      {"ftp://a.example", ""},
      // "\x83h" is one double-byte character: no "h" begins the text after it.
      {"\x83http://a.example", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const std::string text = c.text;
    WebLink link = {};
    const bool found = FindWebLink(text.data(), text.size(), 0, &link);
    EXPECT_EQ(c.link, found ? text.substr(link.begin, link.end - link.begin) : "");
    // Every byte of the link, and only those, holds it.
    for (std::size_t at = 0; at < text.size(); ++at) {
      WebLink held = {};
      const bool inside = found && at >= link.begin && at < link.end;
      ASSERT_EQ(inside, WebLinkToOpenAt(text.data(), text.size(), at, &held)) << "byte " << at;
      EXPECT_EQ(inside ? link.begin : held.begin, held.begin);
    }
  }
  // Shown however long; opened up to 2048 bytes.
  for (const std::size_t size : {2048u, 2049u}) {
    const std::string text = "http://" + std::string(size - 7, 'x') + " end";
    WebLink link = {};
    EXPECT_TRUE(FindWebLink(text.data(), text.size(), 0, &link));
    EXPECT_EQ(size, link.end);
    EXPECT_EQ(size == 2048, WebLinkToOpenAt(text.data(), text.size(), 100, &link)) << size;
  }
}

TEST(ChatTextRules, FindGoesRoundTheEndsAndNeverMatchesHalfACharacter) {
  // "ア" is 0x83 0x41, "ヂ" 0x83 0x61 and "ャ" 0x83 0x83: second bytes that read
  // as "A", "a" or a lead byte.
  const std::string text = "アA ava ヂa ap_a Ava 日本 本日a ャャ";
  struct Case {
    const char* what;
    bool matchCase, wholeWord, down;
    std::size_t from;
    long begin;  // -1: none
    bool wrapped;
  } cases[] = {
      {"A", true, false, true, 0, 2, false},  // not inside "ア"
      {"a", false, false, true, 0, 2, false},
      {"a", true, false, true, 7, 10, false},
      {"a", false, true, true, 7, 10, false},  // after "ヂ": a word of its own
      {"a", false, true, false, 10, 2, false},
      {"ava", false, true, true, 5, 17, false},
      {"ava", false, true, true, 18, 4, true},  // round the end
      {"ava", true, false, false, 4, 4, true},  // round the start: the last
      {"Ava", true, false, false, 4, 17, true},
      {"本日", true, false, true, 5, 26, false},
      {"ャ", true, false, true, 33, 34, false},
      {"\x96", true, false, true, 0, -1, false},  // a lead byte alone
      {"p_", false, true, true, 0, -1, false},
      {"", true, false, true, 0, -1, false},
  };
  for (const Case& c : cases) {
    TextMatch match = {};
    const TextQuery query = {c.what, std::strlen(c.what), c.matchCase, c.wholeWord};
    const bool found = FindInText(text.data(), text.size(), query, c.from, c.down, &match);
    ASSERT_EQ(c.begin >= 0, found) << c.what << " from " << c.from;
    if (!found) continue;
    EXPECT_EQ(static_cast<std::size_t>(c.begin), match.begin) << c.what << " from " << c.from;
    EXPECT_EQ(match.begin + query.length, match.end);
    EXPECT_EQ(c.wrapped, match.wrapped) << c.what << " from " << c.from;
  }
}

TEST(ChatTextRules, OnlyTheCommandWordsInAnyCaseAreCommandsAndTheRestIsChat) {
  using C = InputCommand;
  using P = CommandProblem;
  struct Case {
    const char* line;
    C command;
    P problem;
    const char* target;
    const char* text;
  } cases[] = {
      {"/msg bob hi  there", C::kMsg, P::kNone, "bob", "hi  there"},
      {"/MSG  ボブ こんにちは", C::kMsg, P::kNone, "ボブ", "こんにちは"},
      {"/msg bob", C::kMsg, P::kMissingText, "bob", ""},
      {"/msg", C::kMsg, P::kMissingNick, "", ""},
      {"/msg   ", C::kMsg, P::kMissingNick, "", ""},
      {"/Query bob", C::kQuery, P::kNone, "bob", ""},
      {"/query bob hi", C::kQuery, P::kNone, "bob", "hi"},
      {"/query", C::kQuery, P::kMissingNick, "", ""},
      {"/join lobby", C::kJoin, P::kNone, "lobby", ""},
      {"/JOIN", C::kJoin, P::kMissingChannel, "", ""},
      {"/part", C::kPart, P::kNone, "", ""},
      {"/Leave now", C::kPart, P::kNone, "", ""},
      {"/whois bob", C::kWhois, P::kNone, "bob", ""},
      {"/whois ", C::kWhois, P::kMissingNick, "", ""},
      {"/clear", C::kClear, P::kNone, "", ""},
      {"/HELP", C::kHelp, P::kNone, "", ""},
      // Everything else goes out as it always did.
      {"/me waves", C::kNone, P::kNone, "", ""},
      {"/action waves", C::kNone, P::kNone, "", ""},
      {"/Action hi", C::kNone, P::kNone, "", ""},
      {"/msgbob hi", C::kNone, P::kNone, "", ""},
      {"/nick velmo", C::kNone, P::kNone, "", ""},
      {" /join lobby", C::kNone, P::kNone, "", ""},
      {"/", C::kNone, P::kNone, "", ""},
      {"hello /join", C::kNone, P::kNone, "", ""},
      {"", C::kNone, P::kNone, "", ""},
      // "ｍ" is no "m": only ASCII letters fold.
      {"/\x82\x8dsg bob hi", C::kNone, P::kNone, "", ""},
  };
  for (const Case& c : cases) {
    const ParsedCommand parsed = ParseInputCommand(c.line);
    EXPECT_EQ(static_cast<int>(c.command), static_cast<int>(parsed.command)) << c.line;
    EXPECT_EQ(static_cast<int>(c.problem), static_cast<int>(parsed.problem)) << c.line;
    EXPECT_EQ(c.target, parsed.target) << c.line;
    EXPECT_EQ(c.text, parsed.text) << c.line;
  }
}

}  // namespace
