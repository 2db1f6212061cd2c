// Taking a received payload apart: the payload copy (a handler's own
// zero-filled 1024-byte copy with a cursor), NextToken (splits the copy in
// place at single spaces) and the lenient decimal reading of numeric fields.
// Touches only the caller's buffers; any thread. No heap memory.
#pragma once

#include <cstddef>
#include <cstdint>

#include "link/frame_header.h"

struct MessageRecord;

// Returns the token at *cursor and moves the cursor past one following
// space, which it overwrites with NUL. Runs of spaces give empty tokens; at
// the end every call returns the empty text. Null when cursor or *cursor is
// null.
char* NextToken(char** cursor);

// Reads an unsigned decimal number as "%u" would: leading white space
// skipped, an optional sign, digits up to the first other byte, kept to 32
// bits. false (and *value untouched) when there are no digits.
bool ReadUnsigned(const char* text, std::uint32_t* value);

// A handler's copy of one payload: the payload and its NUL in a zero-filled
// buffer of kFrameBufferSize bytes, and a cursor at its first byte. A payload
// longer than kMaxReceivePayload is cut to it.
class CPayloadCopy {
 public:
  CPayloadCopy(const char* payload, std::size_t length);
  explicit CPayloadCopy(const MessageRecord& record);
  CPayloadCopy(const CPayloadCopy&) = delete;
  CPayloadCopy& operator=(const CPayloadCopy&) = delete;

  char* Token() { return NextToken(&m_cursor); }
  // The next token read as a number; 0 when it is missing or not numeric.
  std::uint32_t Number();
  // The text after the last token taken, spaces included.
  char* Rest() { return m_cursor; }

 private:
  char m_copy[kFrameBufferSize];
  char* m_cursor;
};
