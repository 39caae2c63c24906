#include "xml/whitespace.h"

namespace korvaster::xml {

namespace {

bool isWhitespaceOrNewline(char32_t c) {
  return (c >= 0x09 && c <= 0x0D) || c == 0x20 || c == 0x85 || c == 0xA0 || c == 0x1680 ||
         (c >= 0x2000 && c <= 0x200A) || c == 0x2028 || c == 0x2029 || c == 0x202F || c == 0x205F ||
         c == 0x3000;
}

bool isContinuation(unsigned char byte) { return (byte & 0xC0u) == 0x80u; }

// The length of the well-formed UTF-8 sequence starting at `at` and its code point, or 0
// when the bytes there are not one.
std::size_t decode(const std::string& text, std::size_t at, char32_t& codePoint) {
  const auto lead = static_cast<unsigned char>(text[at]);
  std::size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 0;
  if (length == 0 || at + length > text.size()) return 0;
  codePoint = length == 1 ? lead : lead & (0xFFu >> (length + 1));
  for (std::size_t i = 1; i < length; ++i) {
    const auto next = static_cast<unsigned char>(text[at + i]);
    if (!isContinuation(next)) return 0;
    codePoint = (codePoint << 6) | (next & 0x3Fu);
  }
  return length;
}

}  // namespace

void trimWhitespaceAndNewlines(std::string& text) {
  std::size_t begin = 0;
  while (begin < text.size()) {
    char32_t c = 0;
    const std::size_t length = decode(text, begin, c);
    if (length == 0 || !isWhitespaceOrNewline(c)) break;
    begin += length;
  }
  std::size_t end = text.size();
  while (end > begin) {
    std::size_t start = end - 1;
    while (start > begin && isContinuation(static_cast<unsigned char>(text[start]))) --start;
    char32_t c = 0;
    if (decode(text, start, c) != end - start || !isWhitespaceOrNewline(c)) break;
    end = start;
  }
  text.erase(end);
  text.erase(0, begin);
}

}  // namespace korvaster::xml
