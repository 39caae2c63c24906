// `korvaster modify` as a user runs it, with HOME pointed at a temporary folder.
#include <gtest/gtest.h>

#include <filesystem>

#include "e2e/child_process.h"
#include "temporary_folder.h"

namespace korvaster::testing {
namespace {

const std::string kInfo = "[\u2139\uFE0F] KorvastLoger -> ";
const std::string kWarning = "[\u26A0\uFE0F] KorvastLoger -> ";
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

TEST_F(ModifyCommandTest, WarnsWhenThereAreNoInterfaceBuilderFiles) {
  temp.makeFolder("home");
  temp.write("Plain/main.swift", "");
  temp.makeFolder("out");
  const auto outcome = modify({"-p", temp / "Plain", "-o", temp / "out"});
  EXPECT_EQ(logLines(outcome.standardError),
            (std::vector<std::string>{
                kWarning + "Nor xib not storyboards were found. AccessibilityIdentifiers were not changed.",
                kInfo + "Your modified project is at " + temp / "out/Plain/"}));
  EXPECT_EQ(outcome.exitStatus, 0);
  EXPECT_TRUE(std::filesystem::exists(temp / "out/Plain/main.swift"));
}

TEST_F(ModifyCommandTest, ABrokenFileIsReportedButTheRunSucceeds) {
  temp.makeFolder("home");
  temp.write("App/a.xib", "<document>");
  const auto outcome = modify({"--path", temp / "App"});
  const auto lines = logLines(outcome.standardError);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0].rfind(kError + "Can't read file, Description: ", 0), 0u);
  EXPECT_EQ(lines[1], kError + "XIB files modifications finished with error(s).");
  EXPECT_EQ(outcome.exitStatus, 0);
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

TEST_F(ModifyCommandTest, RefusesToReplaceTheProjectWithItsOwnCopy) {
  temp.makeFolder("home");
  temp.write("work/App/a.swift", "mine");
  const auto outcome = modify({"--path", temp / "work/App", "--output", temp / "work"});
  EXPECT_EQ(outcome.standardOutput,
            "Whoops! An error occurred: Can't copy Project to Korvast folder: '~/.korvast'\n");
  EXPECT_EQ(outcome.exitStatus, 1);
  EXPECT_EQ(readFile(temp / "work/App/a.swift"), "mine");
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
