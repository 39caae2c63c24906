// `korvaster modify` as a user runs it: where the outcome and the report go.
#include <gtest/gtest.h>

#include "e2e/child_process.h"

namespace korvaster::testing {
namespace {

using ModifyCommandTest = KorvasterTest;

TEST_F(ModifyCommandTest, TheCopysPlaceIsLoggedAndAFailureIsReportedOnStandardOutput) {
  temp.write("App/Main.storyboard", R"(<document><view contentMode="s" id="v-1"/></document>)");
  auto outcome = korvaster({"modify", "--path", temp / "App"});
  EXPECT_EQ(outcome.exitStatus, 0);
  EXPECT_EQ(outcome.standardOutput, "");
  EXPECT_EQ(logLines(outcome.standardError),
            (std::vector<std::string>{"[\u2139\uFE0F] KorvastLoger -> Updated 1 of 1 Interface Builder files: 1 identifiers added, 0 kept.",
                                      "[\u2139\uFE0F] KorvastLoger -> Your modified project is at " + projects + "App/"}));

  outcome = korvaster({"modify", "--path", temp / "nowhere"});
  EXPECT_EQ(outcome.exitStatus, 1);
  EXPECT_EQ(outcome.standardOutput, "The operation couldn't be completed. (korvaster.FileSystem.Item.PathError "
                                    "error 1.) Invalid path given: " + temp / "nowhere/" + "\n");
  EXPECT_EQ(outcome.standardError, "");
}

}  // namespace
}  // namespace korvaster::testing
