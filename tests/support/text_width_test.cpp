#include "support/text_width.h"

#include <gtest/gtest.h>

#include <string>

namespace korvaster::support {
namespace {

TEST(UserPerceivedLengthTest, CountsCharactersNotBytes) {
  const std::pair<const char*, std::size_t> cases[] = {
      {"", 0},
      {"--path, -p", 10},
      {"korvaster \u2014 1.0.0", 17},     // em dash: 3 bytes, 1 character
      {"[\u2139\uFE0F]", 3},              // a variation selector joins its base
      {"e\u0301", 1},                     // combining acute accent
      {"\U0001F468\u200D\U0001F469", 1},  // zero-width-joiner sequence
      {"\xff\xfe", 2},                    // malformed bytes count one each
      {"a\xe2\x80", 3},                   // so does a truncated sequence at the end
  };
  for (const auto& [text, length] : cases) EXPECT_EQ(userPerceivedLength(text), length) << text;
}

std::string utf8(char32_t c) {
  if (c < 0x80) return std::string(1, static_cast<char>(c));
  const int continuations = c < 0x800 ? 1 : c < 0x10000 ? 2 : 3;
  std::string bytes(1, static_cast<char>((0xFF00 >> (continuations + 1)) | (c >> (6 * continuations))));
  for (int shift = 6 * (continuations - 1); shift >= 0; shift -= 6) {
    bytes += static_cast<char>(0x80 | ((c >> shift) & 0x3F));
  }
  return bytes;
}

// Each range of characters that join the one before: both its ends join, and the characters
// just outside it stand alone.
TEST(UserPerceivedLengthTest, EachJoiningRangeEndsWhereItShould) {
  const std::pair<char32_t, char32_t> ranges[] = {
      {0x0300, 0x036F},    // combining diacritical marks
      {0x1AB0, 0x1AFF},    // their extension
      {0x1DC0, 0x1DFF},    // their supplement
      {0x20D0, 0x20FF},    // combining marks for symbols
      {0xFE00, 0xFE0F},    // variation selectors
      {0xFE20, 0xFE2F},    // combining half marks
      {0x1F3FB, 0x1F3FF},  // skin-tone modifiers
      {0xE0100, 0xE01EF},  // variation selectors supplement
  };
  for (const auto& [first, last] : ranges) {
    for (const char32_t inside : {first, last})
      EXPECT_EQ(userPerceivedLength("a" + utf8(inside)), 1u) << std::hex << inside;
    for (const char32_t outside : {first - 1, last + 1}) {
      EXPECT_EQ(userPerceivedLength("a" + utf8(outside)), 2u) << std::hex << outside;
    }
  }
}

}  // namespace
}  // namespace korvaster::support
