// Caret positions of a single-line edit control against byte offsets into
// its code page 932 text. The control counts its positions in bytes on
// Windows and in characters under Wine; both agree on single-byte text, so
// the control's own length (lengthInUnits, EM_LINELENGTH) against the text's
// byte length tells which one it uses. Pure; any thread.
#pragma once

#include <cstddef>

// The byte offset of a control position; one past the text is its end.
std::size_t ByteOffsetOfPosition(const char* text, std::size_t lengthInUnits, std::size_t position);

// The control position of a byte offset on a character boundary.
std::size_t PositionOfByteOffset(const char* text, std::size_t lengthInUnits, std::size_t offset);
