// What a run takes from its surroundings and writes by name: closed standard descriptors, an
// empty output folder, report paths that are no regular file. None may change what the tool
// did not make.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <filesystem>
#include <tuple>

#include "e2e/child_process.h"

namespace korvaster::testing {
namespace {

namespace fs = std::filesystem;
using RunBoundariesTest = KorvasterTest;

const std::string kView = R"(<document><view contentMode="s" id="v-1"/></document>)";

TEST_F(RunBoundariesTest, ClosedStandardDescriptorsNeverCarryLogLinesIntoTheProjectsFiles) {
  // Many files and, among them, some that fail, so that log lines are written while other
  // files are open for writing.
  std::string views;
  for (int index = 0; index < 2000; ++index) views += R"(<view contentMode="s" id="v-)" + std::to_string(index) + R"("/>)";
  for (int index = 0; index < 60; ++index) {
    temp.write("Q/v" + std::to_string(index) + ".xib", "<document>" + views + "</document>");
    if (index % 8 == 0) temp.write("Q/v" + std::to_string(index) + "bad.xib", "<document><view>");
  }
  for (const bool inPlace : {true, false, true, false}) {
    std::vector<std::string> arguments{"modify", "--path", temp / "Q"};
    if (inPlace) arguments.insert(arguments.end(), {"--output", temp / "Q"});
    const auto outcome = finishChild(start(arguments, {{"KORVASTER_JOBS", "2"}}, "", StandardOutput::allClosed));
    EXPECT_EQ(outcome.exitStatus, 0);
    const std::string folder = inPlace ? temp / "Q" : projects + "Q";
    for (const auto& entry : fs::directory_iterator(folder)) {
      if (entry.path().extension() != ".xib") continue;
      const std::string text = readFile(entry.path());
      EXPECT_EQ(text.find("korvaster["), std::string::npos) << entry.path();
      if (text.size() < 20) {
        EXPECT_EQ(text, "<document><view>");
      }
    }
  }
  // Nor into the lock files a run opens before its first line.
  for (const auto& entry : fs::recursive_directory_iterator(temp / "home/.korvast")) {
    if (entry.is_regular_file() && entry.path().extension() != ".xib") {
      EXPECT_EQ(readFile(entry.path()).find("KorvastLoger"), std::string::npos) << entry.path();
    }
  }
}

// Both refused before the work: no copy is made.
TEST_F(RunBoundariesTest, AnEmptyOutputOrAReportThatIsNoRegularFileIsRefusedBeforeTheProjectIsTouched) {
  temp.write("P/Main.xib", kView);
  const std::string target = temp.write("target.txt", "not the report's");
  ASSERT_EQ(::symlink(target.c_str(), (temp / "link.json").c_str()), 0);
  ASSERT_EQ(::mkfifo((temp / "fifo.json").c_str(), 0644), 0);
  temp.makeFolder("folder.json");
  const bool device = ::mknod((temp / "device.json").c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0;
  // The command and what follows its --path, and what standard output says.
  std::vector<std::pair<std::vector<std::string>, std::string>> cases{
      {{"modify", "--report", temp / "link.json"}, "it is a symbolic link, not a regular file"},
      {{"modify", "--report", temp / "fifo.json"}, "it is a named pipe, not a regular file"},
      {{"modify", "--report", temp / "folder.json"}, "it is a folder, not a regular file"},
      {{"modify", "--report", temp / "missing/run.json"}, "Invalid path given"},
      {{"modify", "--report", ""}, "Empty path given"},
      {{"modify", "--report", temp / "P/Main.xib"}, "named as an Interface Builder file"},
      {{"modify", "--output", ""}, "Empty path given\n"},
      {{"build", "--output", ""}, "Empty path given\n"}};
  if (device) cases.push_back({{"modify", "--report", temp / "device.json"}, "it is a device, not a regular file"});
  for (const auto& [words, printed] : cases) {
    std::vector<std::string> arguments{words[0], "--path", temp / "P"};
    arguments.insert(arguments.end(), words.begin() + 1, words.end());
    const auto outcome = korvaster(arguments);
    const std::string where = words[0] + " " + words[1] + " " + words[2];
    EXPECT_EQ(outcome.exitStatus, 1) << where;
    EXPECT_NE(outcome.standardError.find(words[1] == "--report" ? "Can't write the report (--report): "
                                                                : "The --output option was given an empty path"),
              std::string::npos) << where;
    EXPECT_NE(outcome.standardOutput.find(printed), std::string::npos) << where << ": " << outcome.standardOutput;
    EXPECT_FALSE(fs::exists(projects + "P")) << where;
  }
  EXPECT_EQ(readFile(target), "not the report's");
  EXPECT_EQ(readFile(temp / "P/Main.xib"), kView);
  EXPECT_TRUE(fs::is_symlink(temp / "link.json"));
  EXPECT_TRUE(fs::is_fifo(temp / "fifo.json"));
  if (device) {
    EXPECT_TRUE(fs::is_character_file(temp / "device.json"));
  }
}

// Makes `levels` nested folders of long names below `folder`, with `file` at the bottom: a
// path longer than the system takes in one piece.
void makeDeepTree(const std::string& folder, int levels, const std::string& file, const std::string& contents) {
  const std::string name(200, 'd');
  int at = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
  for (int level = 0; level < levels && at >= 0; ++level) {
    ::mkdirat(at, name.c_str(), 0755);
    const int next = ::openat(at, name.c_str(), O_RDONLY | O_DIRECTORY);
    ::close(at);
    at = next;
  }
  ASSERT_GE(at, 0);
  const int descriptor = ::openat(at, file.c_str(), O_WRONLY | O_CREAT, 0644);
  ASSERT_EQ(::write(descriptor, contents.data(), contents.size()), static_cast<ssize_t>(contents.size()));
  ::close(descriptor);
  ::close(at);
}

TEST_F(RunBoundariesTest, AFolderThatCannotBeListedOrReachedIsAnErrorOfThatFolderNotASilentGap) {
  temp.write("P/a.xib", kView);
  makeDeepTree(temp / "P", 25, "deep.xib", kView);
  temp.makeFolder("out");  // a copy reaches the deep file too, and cannot search its folder either
  auto outcome = korvaster({"modify", "--path", temp / "P", "--output", temp / "out"});
  EXPECT_EQ(outcome.exitStatus, 0);
  EXPECT_NE(outcome.standardError.find("Can't read folder, Description: File name too long (in " + temp / "out/P/ddd"),
            std::string::npos) << outcome.standardError;
  EXPECT_NE(outcome.standardError.find("Updated 1 of 2 Interface Builder files"), std::string::npos);
  // fix says in its status and its last line that a file was left as it was.
  const std::pair<const char*, const char*> fixes[] = {
      {"--dry-run", "1 of 2 Interface Builder files could not be read and are not in the diff; "},
      {"--exclude=none", "1 of 2 Interface Builder files were left as they were in "}};
  for (const auto& [option, sentence] : fixes) {
    outcome = korvaster({"fix", "--path", temp / "P", option});
    EXPECT_EQ(outcome.exitStatus, 1) << sentence;
    const std::string& log = outcome.standardError;
    EXPECT_NE(log.find(sentence, log.rfind('\n', log.size() - 2)), std::string::npos) << log;
  }
}

// Root reads any folder and writes any file; a normal user does not.
TEST_F(RunBoundariesTest, ANormalUsersRunMeetsLockedFoldersUnwritableReportsAndReadOnlyCopies) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to run korvaster as another user";
  temp.write("Q/a.xib", kView);
  temp.write("Q/Locked/b.xib", kView);
  temp.makeFolder("user");
  for (const char* path : {"", "user", "Q", "Q/a.xib", "Q/Locked", "Q/Locked/b.xib"}) {
    ASSERT_EQ(::chown((temp / path).c_str(), 65534, 65534), 0) << path;
  }
  ASSERT_EQ(::chmod(temp.path().c_str(), 0755) + ::chmod((temp / "Q/Locked").c_str(), 0), 0);
  launcher = {"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"};
  // A report onto a file this user may not write (its own made read-only, or root's in its
  // folder) or could not replace keeping its group (root's, writable by that group) is
  // refused before any work.
  ASSERT_EQ(::chown(temp.write("Q/mine.json", "{}").c_str(), 65534, 65534), 0);
  ASSERT_EQ(::chmod((temp / "Q/mine.json").c_str(), 0444), 0);
  temp.write("Q/roots.json", "{}");
  ASSERT_EQ(::chown(temp.write("Q/group.json", "{}").c_str(), 65534, 0) + ::chmod((temp / "Q/group.json").c_str(), 0664), 0);
  for (const auto& [command, option, label] : {std::tuple("fix", "--report", "the report (--report)"),
                                               std::tuple("modify", "--report", "the report (--report)"),
                                               std::tuple("check", "--output-file", "the output file (--output-file)")}) {
    for (const char* report : {"Q/mine.json", "Q/roots.json", "Q/group.json"}) {
      const auto outcome = korvaster({command, "--path", temp / "Q", option, temp / report}, "",
                                     {{"HOME", temp / "user"}});
      EXPECT_EQ(outcome.exitStatus, 1) << command << " " << report;
      EXPECT_NE(outcome.standardError.find(std::string("Can't write ") + label + ": "), std::string::npos)
          << report;
      EXPECT_EQ(readFile(temp / "Q/a.xib"), kView) << command << " " << report;
      EXPECT_EQ(readFile(temp / report), "{}") << command << " " << report;
    }
  }
  // Its own report, of its own group, it may replace.
  ASSERT_EQ(::chown(temp.write("Q/own.json", "{}").c_str(), 65534, 65534), 0);
  auto outcome = korvaster({"modify", "--path", temp / "Q", "--output", temp / "Q", "--report", temp / "Q/own.json"}, "",
                           {{"HOME", temp / "user"}});
  EXPECT_EQ(outcome.exitStatus, 0) << outcome.standardOutput << outcome.standardError;
  EXPECT_NE(readFile(temp / "Q/own.json"), "{}");
  EXPECT_NE(outcome.standardError.find("Can't read folder, Description: Permission denied (in " + temp / "Q/Locked/)"),
            std::string::npos) << outcome.standardError;
  EXPECT_NE(outcome.standardError.find("Updated 1 of 2 Interface Builder files"), std::string::npos);
  outcome = korvaster({"check", "--path", temp / "Q"}, "", {{"HOME", temp / "user"}});
  EXPECT_EQ(outcome.exitStatus, 1);
  EXPECT_NE(outcome.standardOutput.find("could not list " + temp / "Q/Locked/: Permission denied"), std::string::npos)
      << outcome.standardOutput;
  EXPECT_NE(outcome.standardOutput.find(", 1 unreadable."), std::string::npos) << outcome.standardOutput;
  ::chmod((temp / "Q/Locked").c_str(), 0755);

  // A read-only project gives a read-only copy, which the next copy must still move aside.
  temp.write("R/a.xib", kView);
  ASSERT_EQ(::chown((temp / "R").c_str(), 65534, 65534) + ::chown((temp / "R/a.xib").c_str(), 65534, 65534) +
                ::chmod((temp / "R").c_str(), 0555),
            0);
  for (int run = 0; run < 2; ++run) {
    outcome = korvaster({"modify", "--path", temp / "R"}, "", {{"HOME", temp / "user"}});
    EXPECT_EQ(outcome.standardError.find("Can't move"), std::string::npos) << run << outcome.standardError;
    EXPECT_NE(outcome.standardError.find("Updated 1 of 1 Interface Builder file"), std::string::npos) << run;
  }
}

}  // namespace
}  // namespace korvaster::testing
