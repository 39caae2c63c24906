#include "files/folder.h"

#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

#include "fakes/system_call_faults.h"
#include "files/file.h"
#include "files/file_io_error.h"
#include "files/file_system_sequence.h"
#include "files/file_manager_posix.h"
#include "files/opened_folder_posix.h"
#include "fixed_environment.h"
#include "temporary_folder.h"

namespace korvaster::files {
namespace {

using korvaster::testing::TemporaryFolder;

// The description of the error of ours that `make` throws, or "" when it throws none.
std::string errorOf(const std::function<void()>& make) {
  try {
    make();
  } catch (const support::Error& error) {
    return support::plainDescription(error);
  }
  return "";
}

TEST(FolderPathTest, EverySpellingOfAFolderGivesOnePathAndItsRealName) {
  TemporaryFolder temp;
  temp.makeFolder("w/MyApp/sub");
  temp.makeFolder("b..");
  const std::string cwd = FileManager::defaultManager()->currentDirectoryPath();
  const std::string parent = cwd.substr(0, cwd.rfind('/'));  // "" when the current directory is at the top
  const std::string self = cwd.substr(cwd.rfind('/') + 1), app = temp / "w/MyApp/";
  const std::string cases[][3] = {
      {"", cwd + "/", self}, {".", cwd + "/", self}, {"../" + self, cwd + "/", self}, {"/", "/", ""},
      {"..", parent + "/", parent.substr(parent.rfind('/') + 1)},
      {temp / "b..", temp / "b../", "b.."},  // a name that ends in dots is no way up
      {temp / "w/MyApp", app, "MyApp"}, {temp / "w//./MyApp/.", app, "MyApp"}, {temp / "w/MyApp/./", app, "MyApp"},
      {temp / "w/MyApp//", app, "MyApp"}, {temp / "w/MyApp/sub/..", app, "MyApp"}, {temp / "w/MyApp/sub/../", app, "MyApp"},
  };
  for (const auto& [spelling, path, name] : cases) {
    EXPECT_EQ(Folder(spelling).path(), path) << spelling;
    EXPECT_EQ(Folder(spelling).name(), name) << spelling;
  }
}

TEST(FolderPathTest, AMissingItemOrOneOfTheOtherKindIsAnInvalidPath) {
  TemporaryFolder temp;
  temp.makeFolder("a");
  const std::string file = temp.write("f.xib", "x"), invalid = "Invalid path given: ";
  EXPECT_EQ(File(file).description(), "File(name: f.xib, path: " + file + ")");
  const std::pair<std::function<void()>, std::string> cases[] = {
      {[&] { Folder{file}; }, invalid + file + "/"},
      {[&] { File{temp.path()}; }, invalid + temp.path()},
      {[&] { File{temp / "missing"}; }, invalid + temp / "missing"},
      {[&] { File{file + "/"}; }, invalid + file},  // a trailing "/" or "/." names a folder
      {[&] { File{file + "/."}; }, invalid + file},
      {[&] { Folder{temp / "a/missing/../a"}; }, invalid + temp / "a/missing/../a"},  // ".." needs a folder
      {[&] { Folder{"/../x"}; }, invalid + "/../x"},
      {[] { File{""}; }, "Empty path given"},
  };
  for (const auto& [make, description] : cases) EXPECT_EQ(errorOf(make), description);
}

TEST(FolderPathTest, TildeExpandsToHomeAndAMissingHomeIsAClearError) {
  TemporaryFolder temp;
  temp.makeFolder("h/x");
  temp.makeFolder("hother/x");
  const korvaster::testing::FixedEnvironment home{{"HOME", temp / "h"}}, empty{{"HOME", ""}}, unset;
  const auto disk = std::make_shared<PosixFileManager>(nullptr, &home);
  EXPECT_EQ(Folder("~/x", disk).path(), temp / "h/x/");
  EXPECT_EQ(Folder("~other/x", disk).path(), temp / "hother/x/");  // no lookup of other users
  for (const auto* environment : {&empty, &unset}) {
    const auto without = std::make_shared<PosixFileManager>(nullptr, environment);
    EXPECT_EQ(errorOf([&] { Folder("~/x", without); }), "Home folder not found: HOME is unset or does not name a folder");
  }
}

using Paths = std::vector<std::string>;

class EnumerationTest : public ::testing::Test {
 protected:
  // The items' paths relative to the temporary folder.
  template <typename Item>
  Paths relative(const FileSystemSequence<Item>& sequence) {
    Paths paths;
    for (const auto& item : sequence) paths.push_back(item.path().substr(temp.path().size() + 1));
    return paths;
  }
  korvaster::testing::TemporaryFolder temp;
  Folder root{temp.path()};
};

TEST_F(EnumerationTest, EntriesInNameOrderThenEachSubfolderOnceAndNoHiddenOnes) {
  for (const char* name : {"b.xib", "a.xib", "Z.xib", "sub/c.xib", "sub/inner/d.xib", "sub/e.xib", "aaa/f.xib",
                           ".hidden.xib", ".git/config.xib", "outside/o.xib"}) {
    temp.write(name, "");
  }
  // Linked folders are entered, but each folder is walked once, however many ways lead to it.
  ASSERT_EQ(::symlink(temp.path().c_str(), (temp / "sub/loop").c_str()), 0);
  ASSERT_EQ(::symlink((temp / "outside").c_str(), (temp / "out").c_str()), 0);
  EXPECT_EQ(relative(root.makeFileSequence(true)), (Paths{"Z.xib", "a.xib", "b.xib", "aaa/f.xib", "out/o.xib",
                                                          "sub/c.xib", "sub/e.xib", "sub/inner/d.xib"}));
  EXPECT_EQ(relative(root.subfolders()), (Paths{"aaa/", "out/", "outside/", "sub/"}));
}

TEST_F(EnumerationTest, WhatHasGoneOrCannotBeListedIsSkipped) {
  temp.write("a.xib", "");
  temp.write("b.xib", "");
  auto iterator = root.makeFileSequence(true).makeIterator();
  std::filesystem::remove(temp / "b.xib");
  temp.write("c.xib", "");
  ASSERT_EQ(iterator.next()->name(), "a.xib");
  EXPECT_EQ(iterator.next(), std::nullopt);

  temp.write("locked/x.xib", "");
  ASSERT_EQ(::symlink("/nonexistent/korvaster", (temp / "dangling").c_str()), 0);
  ASSERT_EQ(::chmod((temp / "locked").c_str(), 0), 0);
  // Root lists every folder; for others an unreadable folder enumerates as empty.
  Paths expected{"a.xib", "c.xib"};
  if (::geteuid() == 0) expected.push_back("locked/x.xib");
  EXPECT_EQ(relative(root.makeFileSequence(true)), expected);
}

#if defined(__linux__)
// A call of an opened folder that the system refuses gives its reason and leaves no descriptor
// open, not even the descriptor 0 that each is given here.
TEST(OpenedFolderTest, ARefusedCallGivesItsReasonAndLeavesNoDescriptorOpen) {
  TemporaryFolder temp;
  temp.write("Sub/a.xib", "");
  const int placeholder = ::open("/dev/null", O_RDONLY | O_CLOEXEC);  // keeps 0 from the folder
  const auto folder = PosixOpenedFolder::open(temp.path());
  ::close(placeholder);
  std::shared_ptr<OpenedFolder> child;
  std::vector<std::string> names;
  const std::pair<const char*, std::function<std::string()>> cases[] = {
      {"fstat", [&] { return errorOf([&] { PosixOpenedFolder::open(temp / "Sub"); }); }},
      {"fstat", [&] { return std::string(std::strerror(folder->openChild("Sub", child))); }},
      {"fdopendir", [&] { return std::string(std::strerror(folder->list(names))); }},
  };
  for (const auto& [call, operation] : cases) {
    korvaster::testing::SystemCallFault fault(call, EIO);
    EXPECT_NE(operation().find(std::strerror(EIO)), std::string::npos) << call;
  }
  EXPECT_EQ(std::pair(folder->list(names), names), std::pair(0, std::vector<std::string>{"Sub"}));
}
#endif

}  // namespace
}  // namespace korvaster::files
