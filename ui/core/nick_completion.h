// CNickCompletion: Tab in a channel page's input line. The partial word
// before the caret is completed to the first name of the user list that
// begins with it (case ignored, double-byte characters whole); each further
// Tab, with the line and caret as the last one left them, puts the next
// matching name in its place, in list order and round again. A name
// completed at the start of the line gets ": " after it. Plain logic over
// texts; the list is read through INameList. Any one thread.
#pragma once

#include <cstddef>

#include "link/frame_header.h"

// The user list as the completion reads it, row by row in list order.
class INameList {
 public:
  virtual int Count() const = 0;
  // Row's name, copied into buffer (size bytes, terminated) and returned.
  virtual const char* Name(int row, char* buffer, std::size_t size) const = 0;

 protected:
  ~INameList() = default;
};

// Where the word ending at caret begins: just after the last space before
// caret, or 0. Counted in bytes; a double-byte character is never split.
std::size_t PartialWordStart(const char* line, std::size_t caret);

class CNickCompletion {
 public:
  enum : std::size_t { kLineSize = kFrameBufferSize };

  // The completed line into out (kLineSize bytes) and its caret (just after
  // the name and its ": "). false when there is no partial word before the
  // caret, no name matches it, or the line would not fit: the Tab is then
  // the dialog's, and the next Tab starts afresh.
  bool Complete(const char* line, std::size_t caret, const INameList& names, char* out,
                std::size_t* outCaret);

 private:
  // The matchIndex-th name (in list order) that begins with m_prefix, into
  // name; false when there are not that many.
  bool FindMatch(const INameList& names, int matchIndex, char* name) const;

  // The last completion: its prefix, where its word starts, which match it
  // used, and the line and caret it left.
  char m_prefix[kLineSize] = {};
  std::size_t m_wordStart = 0;
  int m_match = -1;
  char m_line[kLineSize] = {};
  std::size_t m_caret = 0;
};
