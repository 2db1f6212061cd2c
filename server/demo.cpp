// What the simulated users say and do.
#include "server/demo.h"

#include <algorithm>
#include <iterator>

#include "link/cp932_text.h"

namespace orla_server {

namespace {

enum class Tongue { kJapanese, kEnglish, kBoth };

struct CastMember {
  const char* nick;
  unsigned files;
  unsigned speed;
  Tongue tongue;
  const char* firstChannel;
  bool answersPrivately = false;
};

struct DemoChannel {
  const char* name;
  const char* topic;
};

const DemoChannel kChannels[] = {
    {"雑談", "のんびりおしゃべりする部屋です。どなたでもどうぞ！"},
    {"lobby", "Welcome to the Orla demo server - say hi!"},
    {"anime", "今期のおすすめを語ろう / this season's shows"},
};

const CastMember kCast[] = {
    {"さくら", 120, 8, Tongue::kJapanese, "雑談"}, {"たけし", 45, 7, Tongue::kJapanese, "雑談"},
    {"Yuki", 300, 9, Tongue::kBoth, "雑談", true}, {"Ken", 12, 4, Tongue::kEnglish, "lobby"},
    {"Mika", 0, 8, Tongue::kBoth, "anime"},        {"Bob", 77, 2, Tongue::kEnglish, "lobby"},
};

const char* const kJapaneseLines[] = {
    "こんにちは！",
    "今日はいい天気ですね",
    "お茶を飲みながらチャットしています",
    "最近なにか面白いことありました？",
    "そろそろお昼ごはんの時間だ",
    "週末は温泉に行く予定です",
    "このサーバー、軽くていいですね",
    "新しいアニメ、見ました？",
    "ちょっと休憩します",
    "また後で！",
};

const char* const kEnglishLines[] = {
    "hi everyone",
    "anyone here tried the new build?",
    "brb, coffee",
    "notes from the meetup: https://example.org/orla/meetup",
    "lol",
    "what are you all listening to?",
    "good morning from Osaka",
    "see you later",
    "is it always this quiet here?",
    "welcome back!",
};

const char* const kJapanesePrivateReplies[] = {
    "メッセージありがとう！",
    "こんにちは！いまチャンネルで話してるところです",
    "ごめんなさい、ちょっと手が離せなくて…また後で！",
    "いいですね、ぜひ雑談にも来てください",
};

const char* const kEnglishPrivateReplies[] = {
    "hey, thanks for the message!",
    "hi! busy in a channel right now, talk later?",
    "sounds good to me",
    "come and say hi in lobby too",
};

// A private answer is given once in this many later messages.
const unsigned kAnswerOneIn = 3;
// Answers waiting for the next event, and people remembered as answered.
const std::size_t kMaxPendingReplies = 8;
const std::size_t kMaxAnswered = 256;
const char kCastClient[] = "Orla demo";

const char* const kJapaneseActions[] = {"お茶を入れた", "手を振った", "伸びをした"};
const char* const kEnglishActions[] = {"waves", "stretches", "is making coffee"};

const char* const kTopics[] = {
    "のんびりおしゃべりする部屋です。どなたでもどうぞ！",
    "今日の話題：週末の予定",
    "Welcome to the Orla demo server - say hi!",
    "Music night: share what you are listening to",
    "今期のおすすめを語ろう / this season's shows",
};

template <typename T, std::size_t N>
const T& Pick(std::mt19937& random, const T (&list)[N]) {
  return list[std::uniform_int_distribution<std::size_t>(0, N - 1)(random)];
}

}  // namespace

DemoCast::DemoCast(ChatHub& hub, unsigned seed, int intervalMs)
    : m_hub(hub), m_random(seed), m_intervalMs(std::max(intervalMs, 1)) {}

DemoCast::~DemoCast() { m_hub.SetSimulatedInbox(nullptr); }

void DemoCast::Setup() {
  for (const DemoChannel& channel : kChannels) m_hub.AddChannel(channel.name, channel.topic, true);
  for (const CastMember& member : kCast) {
    User* user = m_hub.AddUser(member.nick, member.files, member.speed, nullptr);
    // A real user who took the nickname first keeps it; the cast is smaller.
    if (user == nullptr) continue;
    user->client = kCastClient;
    m_cast.push_back(user);
    m_hub.Join(user, member.firstChannel);
  }
  m_hub.SetSimulatedInbox([this](User* to, const User& from, std::string_view text) {
    NotePrivateMessage(to, from, text);
  });
}

void DemoCast::NotePrivateMessage(User* to, const User& from, std::string_view text) {
  const CastMember* member =
      std::find_if(std::begin(kCast), std::end(kCast), [&](auto& m) { return to->nick == m.nick; });
  // The cast talks to people only, and a burst of messages gets a few answers.
  if (member == std::end(kCast) || !member->answersPrivately || from.connection == nullptr ||
      m_replies.size() >= kMaxPendingReplies) {
    return;
  }
  const bool first = m_answered.count(from.nick) == 0;
  if (!first && m_random() % kAnswerOneIn != 0) return;
  if (first) {
    if (m_answered.size() >= kMaxAnswered) m_answered.clear();
    m_answered.insert(from.nick);
  }
  const bool japanese = std::any_of(text.begin(), text.end(), [](char c) {
    return IsDoubleByteLead(static_cast<unsigned char>(c));
  });
  m_replies.push_back(Reply{to, from.nick, japanese});
}

bool DemoCast::Answer() {
  if (m_replies.empty()) return false;
  const Reply reply = m_replies.front();
  m_replies.pop_front();
  if (User* to = m_hub.FindUser(reply.to)) {
    m_hub.SendPrivate(to, *reply.from,
                      reply.japanese ? Pick(m_random, kJapanesePrivateReplies)
                                     : Pick(m_random, kEnglishPrivateReplies));
  }
  return true;
}

int DemoCast::Step() {
  if (Answer()) return Delay();
  User* user = RandomUser(true);
  int roll = std::uniform_int_distribution<int>(0, 99)(m_random);
  if (user == nullptr || roll < 20) {
    if (User* mover = RandomUser(false)) Move(mover);
    return Delay();
  }
  const Channel* channel = user->channels[std::uniform_int_distribution<std::size_t>(
      0, user->channels.size() - 1)(m_random)];
  const CastMember& member = *std::find_if(std::begin(kCast), std::end(kCast),
                                           [&](auto& m) { return user->nick == m.nick; });
  bool japanese = member.tongue == Tongue::kJapanese ||
                  (member.tongue == Tongue::kBoth && (m_random() & 1) != 0);
  if (roll < 70) {
    m_hub.Chat(user, channel->name,
               japanese ? Pick(m_random, kJapaneseLines) : Pick(m_random, kEnglishLines));
  } else if (roll < 90) {
    m_hub.Act(user, channel->name,
              japanese ? Pick(m_random, kJapaneseActions) : Pick(m_random, kEnglishActions));
  } else {
    m_hub.SetTopic(channel->name, Pick(m_random, kTopics));
  }
  return Delay();
}

std::vector<std::string> DemoCast::Motd() {
  return {
      "Orla デモサーバーへようこそ！",
      "The users here are simulated: they chat, act, change topics, come and go.",
      "チャンネル「雑談」では日本語で話しています。",
      "Join a channel from the list and say hello.",
  };
}

User* DemoCast::RandomUser(bool inAChannel) {
  std::vector<User*> choice;
  for (User* user : m_cast) {
    if (!inAChannel || !user->channels.empty()) choice.push_back(user);
  }
  if (choice.empty()) return nullptr;
  return choice[std::uniform_int_distribution<std::size_t>(0, choice.size() - 1)(m_random)];
}

// A user in one channel or none joins another; one in more leaves one.
void DemoCast::Move(User* user) {
  if (user->channels.size() >= 2 || (user->channels.size() == 1 && (m_random() & 1) != 0)) {
    m_hub.Leave(user, user->channels.back()->name);
    return;
  }
  std::vector<const char*> others;
  for (const DemoChannel& channel : kChannels) {
    const Channel* existing = m_hub.FindChannel(channel.name);
    bool joined = existing != nullptr && std::find(user->channels.begin(), user->channels.end(),
                                                   existing) != user->channels.end();
    if (!joined) others.push_back(channel.name);
  }
  if (!others.empty()) {
    m_hub.Join(user,
               others[std::uniform_int_distribution<std::size_t>(0, others.size() - 1)(m_random)]);
  }
}

int DemoCast::Delay() {
  return std::uniform_int_distribution<int>(m_intervalMs / 2, m_intervalMs * 3 / 2)(m_random);
}

}  // namespace orla_server
