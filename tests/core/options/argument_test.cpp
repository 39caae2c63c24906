#include "core/options/argument.h"

#include <gtest/gtest.h>

#include <unordered_set>

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

TEST(ArgumentTest, EqualityAndHashUseBothFields) {
  const Argument a(ArgumentType::scheme, "App");
  EXPECT_EQ(a, Argument(ArgumentType::scheme, "App"));
  EXPECT_NE(a, Argument(ArgumentType::scheme, "Other"));
  EXPECT_NE(a, Argument(ArgumentType::workspace, "App"));
  std::unordered_set<Argument> set{a, Argument(ArgumentType::scheme, "App"), Argument(ArgumentType::workspace, "App")};
  EXPECT_EQ(set.size(), 2u);
}

}  // namespace
}  // namespace korvaster
