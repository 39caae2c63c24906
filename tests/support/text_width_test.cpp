#include "support/text_width.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace korvaster::support
