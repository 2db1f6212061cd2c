// Payload copy, NextToken and number reading. Any thread.
#include "link/payload.h"

#include <cstring>

#include "link/link_event.h"

char* NextToken(char** cursor) {
  if (cursor == nullptr || *cursor == nullptr) return nullptr;
  char* start = *cursor;
  char* end = start;
  while (*end != ' ' && *end != '\0') ++end;
  if (*end == ' ') *end++ = '\0';
  *cursor = end;
  return start;
}

bool ReadUnsigned(const char* text, std::uint32_t* value) {
  if (text == nullptr) return false;
  const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
  while (*p == ' ' || (*p >= '\t' && *p <= '\r')) ++p;
  const bool negative = *p == '-';
  if (*p == '-' || *p == '+') ++p;
  if (*p < '0' || *p > '9') return false;
  std::uint32_t number = 0;
  for (; *p >= '0' && *p <= '9'; ++p) number = number * 10 + (*p - '0');
  *value = negative ? 0u - number : number;
  return true;
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
