// Well-formed link sessions.
#include "session_check.h"

std::string CheckSession(const std::vector<std::string>& transcript,
                         const std::function<bool(std::size_t, const std::string&)>& message) {
  if (transcript.empty() || transcript.front() != "connecting") return "no connecting first";
  int ends = 0;
  bool online = false;
  std::size_t delivered = 0;
  for (std::size_t i = 1; i < transcript.size(); ++i) {
    const std::string& entry = transcript[i];
    if (entry == "gave up 1" || entry == "offline") {
      ++ends;
      if (i + 1 != transcript.size()) return "events after " + entry;
      if (entry == "offline" && !online) return "offline without online";
      if (entry == "gave up 1" && online) return "gave up after online";
    } else if (entry == "online") {
      if (online) return "online twice";
      online = true;
    } else if (entry.rfind("message ", 0) == 0) {
      if (!online) return "message before online";
      if (!message(delivered, entry)) return "unexpected " + entry.substr(0, 40);
      ++delivered;
    } else if (entry.rfind("diag ", 0) != 0 && entry.rfind("white ", 0) != 0) {
      return "unknown entry " + entry;
    }
  }
  if (ends != 1) return "ended " + std::to_string(ends) + " times";
  return "";
}

std::string CheckSession(const std::vector<std::string>& transcript,
                         const std::vector<std::string>& expected) {
  return CheckSession(transcript, [&](std::size_t index, const std::string& entry) {
    return index < expected.size() && entry == expected[index];
  });
}
