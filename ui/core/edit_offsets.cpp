// Edit control positions and byte offsets. See edit_offsets.h.
#include "ui/core/edit_offsets.h"

#include <cstring>

#include "link/cp932_text.h"

std::size_t ByteOffsetOfPosition(const char* text, std::size_t lengthInUnits,
                                 std::size_t position) {
  const std::size_t bytes = std::strlen(text);
  if (lengthInUnits == bytes) return position < bytes ? position : bytes;
  std::size_t offset = 0;
  for (std::size_t unit = 0; unit < position && offset < bytes; ++unit)
    offset += CharLength(text + offset);
  return offset;
}

std::size_t PositionOfByteOffset(const char* text, std::size_t lengthInUnits, std::size_t offset) {
  if (lengthInUnits == std::strlen(text)) return offset;
  std::size_t position = 0;
  for (std::size_t at = 0; at < offset && text[at] != '\0'; at += CharLength(text + at)) ++position;
  return position;
}
