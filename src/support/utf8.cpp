#include "support/utf8.h"

namespace korvaster::support {

std::optional<Utf8Sequence> decodeUtf8(std::string_view text) {
  if (text.empty()) return std::nullopt;
  const auto byte = [&](std::size_t index) { return static_cast<unsigned char>(text[index]); };
  const unsigned char lead = byte(0);
  std::size_t length = 0;
  char32_t codePoint = 0;
  unsigned char low = 0x80, high = 0xBF;  // the range of the second byte
  if (lead < 0x80) {
    return Utf8Sequence{lead, 1};
  } else if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2, codePoint = lead & 0x1Fu;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3, codePoint = lead & 0x0Fu;
    if (lead == 0xE0) low = 0xA0;   // no overlong forms
    if (lead == 0xED) high = 0x9F;  // no surrogates
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4, codePoint = lead & 0x07u;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;  // nothing above U+10FFFF
  } else {
    return std::nullopt;
  }
  if (text.size() < length || byte(1) < low || byte(1) > high) return std::nullopt;
  for (std::size_t index = 1; index < length; ++index) {
    if (byte(index) < 0x80 || byte(index) > 0xBF) return std::nullopt;
    codePoint = (codePoint << 6) | (byte(index) & 0x3Fu);
  }
  return Utf8Sequence{codePoint, length};
}

}  // namespace korvaster::support
