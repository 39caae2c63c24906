// `korvaster modify` as a user runs it, with HOME pointed at a temporary folder.
#include <gtest/gtest.h>

#include <filesystem>

#include "e2e/child_process.h"
#include "temporary_folder.h"

namespace korvaster::testing {
namespace {

const std::string kInfo = "[\u2139\uFE0F] KorvastLoger -> ";
const std::string kError = "[\U0001F525] KorvastLoger -> ";

class ModifyCommandTest : public ::testing::Test {
 protected:
  ChildOutcome modify(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), "modify");
    return runChild(KORVASTER_BINARY, arguments, {{"HOME", temp / "home"}});
  }
  std::string projects() { return temp / "home/.korvast/CommandLineTool/Projects/"; }

  TemporaryFolder temp;
};

TEST_F(ModifyCommandTest, CopiesTheProjectAndSaysWhereItIs) {
  temp.makeFolder("home");
  temp.write("App/Main.storyboard", R"(<document><view contentMode="s" id="v-1"/></document>)");
  temp.write("App/.git/HEAD", "ref");
  const auto outcome = modify({"--path", temp / "App"});
  EXPECT_EQ(outcome.standardOutput, "");
  EXPECT_EQ(logLines(outcome.standardError),
            std::vector<std::string>{kInfo + "Your modified project is at " + projects() + "App/"});
  EXPECT_EQ(outcome.exitStatus, 0);
  EXPECT_NE(readFile(projects() + "App/Main.storyboard").find("identifier=\"v-1\""), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(projects() + "App/.git"));
  EXPECT_EQ(readFile(temp / "App/Main.storyboard"),
            R"(<document><view contentMode="s" id="v-1"/></document>)");
}

TEST_F(ModifyCommandTest, MissingOrNonexistentProjectIsOneReportLine) {
  temp.makeFolder("home");
  auto outcome = modify({"--output", temp.path()});
  EXPECT_EQ(outcome.standardOutput, "Whoops! An error occurred: Project path is not provided.\n");
  EXPECT_EQ(outcome.exitStatus, 1);
  // The working folder tree is prepared before the path is looked at.
  EXPECT_TRUE(std::filesystem::is_directory(projects()));

  outcome = modify({"--path", temp / "nowhere"});
  EXPECT_EQ(outcome.standardOutput,
            "The operation couldn't be completed. (korvaster.FileSystem.Item.PathError error 1.) Invalid "
            "path given: " +
                temp / "nowhere/" + "\n");
  EXPECT_EQ(outcome.standardError, "");
  EXPECT_EQ(outcome.exitStatus, 1);
}

TEST_F(ModifyCommandTest, WithoutAHomeFolderTheReportSaysSo) {
  const auto outcome = runChild(KORVASTER_BINARY, {"modify", "--path", temp.path()}, {{"HOME", ""}});
  EXPECT_EQ(
      outcome.standardOutput,
      "The operation couldn't be completed. (korvaster.FileSystem.Item.PathError error 2.) Home folder not "
      "found: HOME is unset or does not name a folder\n");
  EXPECT_EQ(outcome.exitStatus, 1);
}

}  // namespace
}  // namespace korvaster::testing
