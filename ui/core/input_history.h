// CInputHistory: the last 50 lines sent from one channel page, in memory
// only, and the walk through them with Up and Down. Up first keeps what was
// being typed (the draft); Down past the newest line gives it back. Fixed
// storage, nothing allocated. Plain logic; any one thread.
#pragma once

#include "link/frame_header.h"

class CInputHistory {
 public:
  enum : int { kLines = 50, kLineSize = kFrameBufferSize };

  // Remembers a line entered (cut to kLineSize - 1 bytes, never inside a
  // double-byte character; the oldest goes when 50 are held; one the same as
  // the newest is not held twice) and ends any walk, forgetting the draft.
  void Add(const char* line);
  // Up: the next older line; typed becomes the draft when the walk starts.
  // Null (nothing changes) when there is no older line.
  const char* Older(const char* typed);
  // Down: the next newer line, or the draft after the newest (which ends
  // the walk). Null when no walk is on.
  const char* Newer();

 private:
  // The line `back` steps behind the newest one (0 the newest).
  const char* Line(int back) const;

  char m_lines[kLines][kLineSize] = {};
  char m_draft[kLineSize] = {};
  int m_count = 0;   // lines held, up to kLines
  int m_newest = 0;  // slot of the newest line, when m_count > 0
  int m_shown = -1;  // steps behind the newest of the line shown; -1: the draft
};
