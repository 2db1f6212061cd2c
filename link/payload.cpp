// Payload copy, NextToken (plain and quoted) and number reading. Any thread.
#include "link/payload.h"

#include <cstring>

#include "link/link_event.h"

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

char* NextToken(char** cursor) {
  if (cursor == nullptr || *cursor == nullptr) return nullptr;
  char* start = *cursor;
  std::string_view rest(start);
  char* end = start + NextToken(rest).size();
  if (*end == ' ') *end++ = '\0';
  *cursor = end;
  return start;
}

std::string_view NextToken(std::string_view& rest) {
  const std::size_t space = rest.find(' ');
  const std::string_view token = rest.substr(0, space);
  rest.remove_prefix(space == std::string_view::npos ? rest.size() : space + 1);
  return token;
}

char* NextQuotedToken(char** cursor) {
  if (cursor == nullptr || *cursor == nullptr) return nullptr;
  if (**cursor != '"') return NextToken(cursor);
  char* const text = *cursor + 1;
  char* end = text;
  while (*end != '\0' && !(*end == '"' && (end[1] == ' ' || end[1] == '\0'))) ++end;
  if (*end == '"') {
    *end++ = '\0';
    if (*end == ' ') *end++ = '\0';
  }
  *cursor = end;
  return text;
}

bool ReadUnsigned(const char* text, std::uint32_t* value) {
  if (text == nullptr) return false;
  while (*text == ' ' || (*text >= '\t' && *text <= '\r')) ++text;
  const bool negative = *text == '-';
  if (*text == '-' || *text == '+') ++text;
  if (!IsDigit(*text)) return false;
  const std::uint32_t number = LeadingDigits(text);
  *value = negative ? 0u - number : number;
  return true;
}

std::uint32_t LeadingDigits(std::string_view text) {
  std::uint32_t number = 0;
  for (std::size_t i = 0; i < text.size() && IsDigit(text[i]); ++i) {
    number = number * 10 + static_cast<std::uint32_t>(text[i] - '0');
  }
  return number;
}

CPayloadCopy::CPayloadCopy(const char* payload, std::size_t length) : m_copy(), m_cursor(m_copy) {
  if (payload == nullptr) return;
  if (length > kMaxReceivePayload) length = kMaxReceivePayload;
  std::memcpy(m_copy, payload, length);
}

CPayloadCopy::CPayloadCopy(const MessageRecord& record)
    : CPayloadCopy(record.payload, record.length) {}

std::uint32_t CPayloadCopy::Number() {
  std::uint32_t value = 0;
  ReadUnsigned(Token(), &value);
  return value;
}
