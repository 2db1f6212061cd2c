// Nicknames inside code page 932 text: a nickname mentioned as a whole
// word. Letters compare without case only where they are single-byte
// characters (StartsWithIgnoringCase, link/cp932_text.h), and a match only
// ever starts and ends on a character boundary. Pure; any thread.
#pragma once

// true when nickname stands in text as a whole word, case ignored: the
// characters on either side of it are no ASCII letter, digit or underscore
// (a double-byte character, a space or punctuation are). An empty nickname
// is never mentioned.
bool MentionsNickname(const char* text, const char* nickname);

// A line from sender that mentions own; a line of one's own never counts.
bool IsMentionOf(const char* own, const char* sender, const char* text);
