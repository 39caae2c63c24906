#include "core/options/argument.h"

#include <gtest/gtest.h>

namespace korvaster {
namespace {

TEST(ArgumentLookupTest, ReturnsTheFirstValueOfTheKindAndCountsEmptyAsFound) {
  const Arguments arguments{{ArgumentType::projectPath, ""},
                            {ArgumentType::outputPath, "out"},
                            {ArgumentType::projectPath, "second"}};
  EXPECT_EQ(lookup(arguments, ArgumentType::projectPath), "");
  EXPECT_EQ(lookup(arguments, ArgumentType::outputPath), "out");
  EXPECT_EQ(lookup(arguments, ArgumentType::scheme), std::nullopt);
  EXPECT_EQ(lookup({}, ArgumentType::projectPath), std::nullopt);
  EXPECT_TRUE(contains(arguments, ArgumentType::outputPath));
  EXPECT_FALSE(contains(arguments, ArgumentType::verbose));
}

}  // namespace
}  // namespace korvaster
