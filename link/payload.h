// Taking a received payload apart: the payload copy (a handler's own
// zero-filled 1024-byte copy with a cursor), NextToken (splits the copy in
// place at single spaces, or a view of bytes without copying), its quoted
// form NextQuotedToken, and the lenient decimal reading of numeric fields.
// The client's pages and the server stand-in both read payloads with these.
// Touches only the caller's buffers; any thread. No heap memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "link/frame_header.h"

struct MessageRecord;

// Returns the token at *cursor and moves the cursor past one following
// space, which it overwrites with NUL. Runs of spaces give empty tokens; at
// the end every call returns the empty text. Null when cursor or *cursor is
// null.
char* NextToken(char** cursor);
// The same split over a view, for bytes that are not copied or terminated
// (a NUL is an ordinary byte here): returns the text up to the first space
// and moves rest past that space; with no space the whole rest is the token
// and rest becomes empty.
std::string_view NextToken(std::string_view& rest);
// NextToken for a field that may be quoted (604's texts hold spaces). A
// token opening with a double quote runs to the first quote followed by a
// space or the end, and is returned without its quotes; the one space after
// the closing quote is consumed as NextToken consumes it. Without a closing
// quote the token runs to the end. A token that does not open with a quote
// is NextToken's. Byte by byte is safe in code page 932: neither the quote
// (0x22) nor the space can be the second byte of a double-byte character.
char* NextQuotedToken(char** cursor);

// Reads an unsigned decimal number as "%u" would: leading white space
// skipped, an optional sign, digits up to the first other byte, kept to 32
// bits. false (and *value untouched) when there are no digits.
bool ReadUnsigned(const char* text, std::uint32_t* value);
// The digits at the very start of text (no white space or sign taken) up to
// the first other byte, kept to 32 bits; 0 when text does not start with one.
std::uint32_t LeadingDigits(std::string_view text);

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
  char* QuotedToken() { return NextQuotedToken(&m_cursor); }
  // The next token read as a number; 0 when it is missing or not numeric.
  std::uint32_t Number();
  // The text after the last token taken, spaces included.
  char* Rest() { return m_cursor; }

 private:
  char m_copy[kFrameBufferSize];
  char* m_cursor;
};
