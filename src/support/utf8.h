// Reading UTF-8: the one decoder for writers whose documents must stay valid whatever bytes a
// path or a message holds, for escapes and for counting characters.
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

namespace korvaster::support {

struct Utf8Sequence {
  char32_t codePoint = 0;
  std::size_t length = 0;  // 1 to 4 bytes
};

// The well-formed UTF-8 sequence at the start of `text` (no overlong forms, no surrogates,
// nothing above U+10FFFF), or nothing when it starts with a byte that is no such sequence (or
// `text` is empty).
std::optional<Utf8Sequence> decodeUtf8(std::string_view text);

// The length of that sequence, or 0.
inline std::size_t utf8SequenceLength(std::string_view text) {
  const auto sequence = decodeUtf8(text);
  return sequence ? sequence->length : 0;
}

}  // namespace korvaster::support
