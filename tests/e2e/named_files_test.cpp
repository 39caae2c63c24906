// `check`, `fix` and `ids` given files and folders after the options, as a commit hook or a
// list of changed files gives them: which files each takes, how the others are met, and that
// fix writes through no path that leads out of the project.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "e2e/child_process.h"
#include "golden.h"

namespace korvaster::testing {
namespace {

using NamedFilesTest = KorvasterTest;

// In a repository whose settings file excludes Pods (also for runs in a folder below it); a
// link to a file and one to a folder lead out of the repository, two links inside it lead to
// Pods, and one outside leads into it. Where a path leads is the kernel's to say, ".." included.
TEST_F(NamedFilesTest, OnlyTheNamedIBFilesAreTakenOnceEachAndNothingOutsideIsWritten) {
  const std::string view = "<document>\n  <view contentMode=\"s\" id=\"v-1\"/>\n</document>\n";
  for (const char* file : {"Repo/App/Main.storyboard", "Repo/App/Sub/A.xib", "Repo/App/Pods/P.xib", "Outside/O.xib", "Sub/A.xib"})
    temp.write(file, view);
  temp.write("Repo/App/notes.md", "not Interface Builder\n");
  temp.write("Repo/.korvaster.yml", "exclude: App/Pods/**\n");
  temp.makeFolder("Repo/.git");
  // Outside any repository, a settings file above the current directory belongs to no one.
  temp.write("Loose/.korvaster.yml", "exclude: Sub/**\n");
  temp.write("Loose/Sub/L.xib", view);
  std::filesystem::create_symlink("../../Outside/O.xib", temp / "Repo/App/Link.xib");
  std::filesystem::create_symlink("../../Outside", temp / "Repo/App/Ext");
  std::filesystem::create_symlink("../Main.storyboard", temp / "Repo/App/Sub/Up.xib");  // leads out of Sub only
  std::filesystem::create_symlink("Pods", temp / "Repo/App/Vendor");
  std::filesystem::create_symlink("../Pods/P.xib", temp / "Repo/App/Sub/Pod.xib");
  std::filesystem::create_symlink("Repo", temp / "Alias");
  const std::vector<std::pair<std::string, std::vector<std::string>>> runs{
      // As a commit hook calls it: from the repository's root, with whatever matched its pattern.
      {"Repo", {"check", "App/Main.storyboard", "App/Sub", "App/notes.md", "App/Sub/A.xib", "./App/Main.storyboard",
                "App/Pods/P.xib", "gone.xib", "gone.xib", "App/Link.xib"}},
      {"Repo/App", {"ids", "--format", "csv", "--", "Sub", "Pods", "Link.xib"}},
      {"Repo", {"check", "--path", "App", "App/Sub/A.xib", "App/Main.storyboard", "--exclude", "Sub/**"}},
      {"Repo", {"check", "--path", "App", "Outside.xib", "../Outside/O.xib", ".korvaster.yml", "../Alias/App/Main.storyboard"}},
      {"Repo", {"check", "--path", "."}},
      {"Repo/App", {"fix", "--dry-run", "Main.storyboard", "Link.xib", "Ext/O.xib", "Ext", "gone.xib", "Ext/../Sub/A.xib"}},
      {"Repo/App", {"fix", "Link.xib", "Ext/O.xib", "Sub/A.xib", "Vendor/P.xib", "--report", "../run.json"}},
      {"Repo", {"modify", "--path", "App", "App/Main.storyboard"}},
      {"Loose/Sub", {"check", "L.xib"}},
  };
  std::string transcript;
  for (const auto& [folder, arguments] : runs) {
    const auto outcome = korvaster(arguments, temp / folder);
    transcript += "$ (in " + folder + ")";
    for (const auto& word : arguments) transcript += " " + word;
    std::istringstream log(outcome.standardError);
    transcript += "\n" + outcome.standardOutput;
    for (std::string line; std::getline(log, line);) transcript += line.substr(line.find("] [") + 2) + "\n";
    transcript += "=> " + std::to_string(outcome.exitStatus) + "\n";
  }
  expectApproved("named-files.txt", replaced(transcript, temp.path(), "@TEMP@"));
  EXPECT_EQ(readFile(temp / "Outside/O.xib"), view);
  EXPECT_EQ(readFile(temp / "Repo/App/Main.storyboard"), view);
  EXPECT_EQ(readFile(temp / "Repo/App/Pods/P.xib"), view);
  EXPECT_NE(readFile(temp / "Repo/App/Sub/A.xib"), view);
}

}  // namespace
}  // namespace korvaster::testing
