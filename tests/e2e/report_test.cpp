// What `modify` and `build` leave for the user and for CI besides the copy: files an exclude
// glob kept unchanged, the summary line, the --report document and xcodebuild's logs.
#include <gtest/gtest.h>

#include "e2e/child_process.h"

namespace korvaster::testing {
namespace {

const std::string kView = R"(<document><view contentMode="s" id="v-1"/></document>)";
const std::string kInfo = "[\u2139\uFE0F] KorvastLoger -> ";

using RunReportTest = KorvasterTest;

TEST_F(RunReportTest, ExcludedFilesAreCopiedUnchangedAndLeftOutOfTheSummary) {
  for (const char* file : {"App/Main.storyboard", "App/Pods/Lib/Lib.xib", "App/Vendor/V.xib", "App/Vendor/Deep/D.xib"}) {
    temp.write(file, kView);
  }
  const auto outcome = korvaster({"modify", "-p", temp / "App", "--exclude", "Pods", "--exclude=Vendor/*.xib"});
  ASSERT_EQ(outcome.exitStatus, 0) << outcome.standardError;
  EXPECT_EQ(logLines(outcome.standardError).front(),
            kInfo + "Updated 2 of 2 Interface Builder files: 2 identifiers added, 0 kept.");
  EXPECT_NE(readFile(projects + "App/Main.storyboard"), kView);
  EXPECT_NE(readFile(projects + "App/Vendor/Deep/D.xib"), kView);
  EXPECT_EQ(readFile(projects + "App/Pods/Lib/Lib.xib"), kView);
  EXPECT_EQ(readFile(projects + "App/Vendor/V.xib"), kView);
}

}  // namespace
}  // namespace korvaster::testing
