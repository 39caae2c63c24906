#include "files/folder.h"

#include <gtest/gtest.h>

#include "files/file.h"
#include "scoped_environment.h"
#include "temporary_folder.h"

namespace korvaster::files {
namespace {

using korvaster::testing::TemporaryFolder;

// The description of the PathError that `make` throws, or "" when it throws none.
std::string pathErrorOf(const std::function<void()>& make) {
  try {
    make();
  } catch (const PathError& error) {
    return error.description();
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
  for (const auto& [make, description] : cases) EXPECT_EQ(pathErrorOf(make), description);
}

TEST(FolderPathTest, TildeExpandsToHomeAndAMissingHomeIsAClearError) {
  TemporaryFolder temp;
  temp.makeFolder("h/x");
  temp.makeFolder("hother/x");
  korvaster::testing::ScopedEnvironment home("HOME", (temp / "h").c_str());
  EXPECT_EQ(Folder("~/x").path(), temp / "h/x/");
  EXPECT_EQ(Folder("~other/x").path(), temp / "hother/x/");  // no lookup of other users
  for (const char* value : {"", static_cast<const char*>(nullptr)}) {
    home.set(value);
    EXPECT_EQ(pathErrorOf([] { Folder{"~/x"}; }), "Home folder not found: HOME is unset or does not name a folder");
  }
}

}  // namespace
}  // namespace korvaster::files
