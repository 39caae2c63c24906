#include "support/text_width.h"

#include <cstdint>

#include "support/utf8.h"

namespace korvaster::support {

namespace {

constexpr char32_t kZeroWidthJoiner = 0x200D;

// Decodes one code point at `index` and advances it; a malformed byte decodes as itself.
char32_t decodeAt(std::string_view text, std::size_t& index) {
  const auto sequence = decodeUtf8(text.substr(index));
  if (!sequence) return static_cast<unsigned char>(text[index++]);
  index += sequence->length;
  return sequence->codePoint;
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
