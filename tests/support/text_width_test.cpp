#include "support/text_width.h"

#include <gtest/gtest.h>

namespace korvaster::support {
namespace {

TEST(UserPerceivedLengthTest, CountsCharactersNotBytes) {
  EXPECT_EQ(userPerceivedLength(""), 0u);
  EXPECT_EQ(userPerceivedLength("--path, -p"), 10u);
  EXPECT_EQ(userPerceivedLength("korvaster \u2014 1.0.0"), 17u);     // em dash: 3 bytes, 1 character
  EXPECT_EQ(userPerceivedLength("[\u2139\uFE0F]"), 3u);              // variation selector joins its base
  EXPECT_EQ(userPerceivedLength("e\u0301"), 1u);                     // combining acute accent
  EXPECT_EQ(userPerceivedLength("\U0001F468\u200D\U0001F469"), 1u);  // zero-width-joiner sequence
}

TEST(UserPerceivedLengthTest, MalformedBytesCountOneEach) {
  EXPECT_EQ(userPerceivedLength("\xff\xfe"), 2u);
  EXPECT_EQ(userPerceivedLength("a\xe2\x80"), 3u);  // truncated sequence at the end
}

}  // namespace
}  // namespace korvaster::support
