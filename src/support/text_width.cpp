#include "support/text_width.h"

#include <cstdint>

namespace korvaster::support {

namespace {

constexpr char32_t kZeroWidthJoiner = 0x200D;

// Decodes one code point at `index` and advances it; a malformed byte decodes as itself.
char32_t decodeAt(std::string_view text, std::size_t& index) {
  const auto lead = static_cast<unsigned char>(text[index]);
  std::size_t length = 1;
  char32_t codePoint = lead;
  if (lead >= 0xF0 && lead < 0xF8) {
    length = 4;
    codePoint = lead & 0x07u;
  } else if (lead >= 0xE0) {
    length = lead < 0xF0 ? 3 : 1;
    codePoint = length == 3 ? (lead & 0x0Fu) : lead;
  } else if (lead >= 0xC0) {
    length = 2;
    codePoint = lead & 0x1Fu;
  }
  if (length == 1 || index + length > text.size()) {
    ++index;
    return lead;
  }
  for (std::size_t offset = 1; offset < length; ++offset) {
    const auto next = static_cast<unsigned char>(text[index + offset]);
    if ((next & 0xC0u) != 0x80u) {
      ++index;
      return lead;
    }
    codePoint = (codePoint << 6) | (next & 0x3Fu);
  }
  index += length;
  return codePoint;
}

bool extendsPreviousCharacter(char32_t c) {
  return (c >= 0x0300 && c <= 0x036F) || (c >= 0x1AB0 && c <= 0x1AFF) || (c >= 0x1DC0 && c <= 0x1DFF) ||
         (c >= 0x20D0 && c <= 0x20FF) || (c >= 0xFE00 && c <= 0xFE0F) || (c >= 0xFE20 && c <= 0xFE2F) ||
         (c >= 0x1F3FB && c <= 0x1F3FF) || (c >= 0xE0100 && c <= 0xE01EF);
}

}  // namespace

std::size_t userPerceivedLength(std::string_view utf8) {
  std::size_t count = 0;
  bool joinNext = false;
  for (std::size_t index = 0; index < utf8.size();) {
    const char32_t c = decodeAt(utf8, index);
    if (c == kZeroWidthJoiner) {
      joinNext = true;
      continue;
    }
    if (joinNext || extendsPreviousCharacter(c)) {
      joinNext = false;
      if (count > 0) continue;
    }
    ++count;
  }
  return count;
}

}  // namespace korvaster::support
