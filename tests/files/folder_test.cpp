#include "files/folder.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include "files/file.h"
#include "scoped_environment.h"
#include "temporary_folder.h"

namespace korvaster::files {
namespace {

using korvaster::testing::ScopedEnvironment;
using korvaster::testing::TemporaryFolder;

std::string currentDirectory() { return FileManager::defaultManager()->currentDirectoryPath(); }

TEST(FolderPathTest, TrailingSlashIsAddedAndHandlesCompareByPath) {
  TemporaryFolder temp;
  const Folder plain(temp.path());
  EXPECT_EQ(plain.path(), temp.path() + "/");
  EXPECT_EQ(plain, Folder(temp.path() + "/"));
  EXPECT_EQ(plain.name(), temp.path().substr(temp.path().rfind('/') + 1));
  EXPECT_EQ(Folder("").path(), currentDirectory() + "/");
  EXPECT_EQ(Folder("/").path(), "/");
}

TEST(FolderPathTest, RelativeAndParentReferencesResolveAgainstTheCurrentDirectory) {
  const std::string cwd = currentDirectory();
  const std::string parent = cwd.substr(0, cwd.rfind('/'));
  EXPECT_EQ(Folder("..").path(), (parent.empty() ? "" : parent) + "/");
  const std::string self = cwd.substr(cwd.rfind('/') + 1);
  EXPECT_EQ(Folder("../" + self).path(), cwd + "/");
}

TEST(FolderPathTest, EverySpellingOfAFolderGivesOnePathAndItsRealName) {
  TemporaryFolder temp;
  temp.makeFolder("w/MyApp/sub");
  const std::string cwd = currentDirectory();
  const std::string self = cwd.substr(cwd.rfind('/') + 1);
  EXPECT_EQ(Folder(".").path(), cwd + "/");
  EXPECT_EQ(Folder(".").name(), self);
  for (const char* spelling : {"w/MyApp", "w/MyApp/", "w/MyApp//", "w/MyApp/.", "w/MyApp/./", "w//MyApp",
                                     "w/./MyApp", "w/MyApp/sub/..", "w/MyApp/sub/../"}) {
    const Folder folder(temp / spelling);
    EXPECT_EQ(folder.path(), temp / "w/MyApp/") << spelling;
    EXPECT_EQ(folder.name(), "MyApp") << spelling;
  }
  // A name that merely ends in dots is a name, not a way up.
  temp.makeFolder("b..");
  EXPECT_EQ(Folder(temp / "b../").name(), "b..");
  EXPECT_EQ(Folder("/").name(), "");
  // A trailing "/" or "/." names a folder, so never a file.
  const std::string file = temp.write("f.xib", "x");
  EXPECT_THROW(File(file + "/"), PathError);
  EXPECT_THROW(File(file + "/."), PathError);
}

TEST(FolderPathTest, ParentReferenceNeedsTheFolderBeforeIt) {
  TemporaryFolder temp;
  temp.makeFolder("a/b");
  temp.makeFolder("a/c");
  EXPECT_EQ(Folder(temp / "a/b/../c").path(), temp / "a/c/");
  try {
    Folder(temp / "a/missing/../c");
    FAIL() << "resolved through a missing folder";
  } catch (const PathError& error) {
    EXPECT_EQ(error.errorCase(), PathError::Case::invalid);
  }
  EXPECT_THROW(Folder("/../x"), PathError);
}

TEST(FolderPathTest, WrongKindOrMissingItemIsAnInvalidPath) {
  TemporaryFolder temp;
  const std::string file = temp.write("f.xib", "x");
  try {
    Folder folder(file);
    FAIL();
  } catch (const PathError& error) {
    EXPECT_EQ(error.description(), "Invalid path given: " + file + "/");
  }
  EXPECT_THROW(File(temp.path()), PathError);
  EXPECT_THROW(File(temp / "missing"), PathError);
  try {
    File empty("");
    FAIL();
  } catch (const PathError& error) {
    EXPECT_EQ(error.description(), "Empty path given");
  }
  EXPECT_EQ(File(file).name(), "f.xib");
  EXPECT_EQ(File(file).description(), "File(name: f.xib, path: " + file + ")");
}

TEST(FolderPathTest, TildeExpandsToHome) {
  TemporaryFolder temp;
  temp.makeFolder("h/x");
  temp.makeFolder("hother/x");
  ScopedEnvironment home("HOME", (temp / "h").c_str());
  EXPECT_EQ(Folder("~").path(), temp / "h/");
  EXPECT_EQ(Folder("~/x").path(), temp / "h/x/");
  EXPECT_EQ(Folder("~other/x").path(), temp / "hother/x/");  // no lookup of other users
  EXPECT_EQ(Folder::home(), Folder(temp / "h"));
}

TEST(FolderPathTest, MissingHomeIsAClearError) {
  {
    ScopedEnvironment home("HOME", nullptr);
    EXPECT_THROW(Folder::home(), PathError);
    try {
      Folder("~/x");
      FAIL();
    } catch (const PathError& error) {
      EXPECT_EQ(error.errorCase(), PathError::Case::homeNotFound);
      EXPECT_EQ(error.description(), "Home folder not found: HOME is unset or does not name a folder");
    }
  }
  ScopedEnvironment home("HOME", "/nonexistent/korvaster-home");
  EXPECT_THROW(Folder::home(), PathError);
}

TEST(FileSystemItemTest, Extensions) {
  TemporaryFolder temp;
  auto extensionOf = [&](const std::string& name) { return File(temp.write(name, "")).extension(); };
  EXPECT_EQ(extensionOf("a.tar.gz"), "gz");
  EXPECT_EQ(extensionOf("plain"), std::nullopt);
  EXPECT_EQ(extensionOf(".hidden"), "hidden");
  EXPECT_EQ(extensionOf("dot."), "");
  EXPECT_EQ(Folder(temp.makeFolder("App.xcarchive")).extension(), "xcarchive");
}

TEST(FolderTest, CreatingSubfolders) {
  TemporaryFolder temp;
  const Folder root(temp.path());
  const Folder made = root.createSubfolder("made");
  EXPECT_EQ(made.path(), temp / "made/");
  EXPECT_TRUE(root.containsSubfolder("made"));
  EXPECT_THROW(root.createSubfolder("made"), FolderError);
  EXPECT_EQ(root.createSubfolderIfNeeded("made"), made);
  EXPECT_EQ(root.createSubfolderIfNeeded("new").path(), temp / "new/");
  temp.write("file", "");
  EXPECT_FALSE(root.containsSubfolder("file"));
  EXPECT_THROW(root.createSubfolderIfNeeded("file"), FolderError);
  EXPECT_THROW(root.createSubfolder("missing/deeper"), FolderError);
}

TEST(FolderTest, DeletingRemovesTheTreeButNotWhatALinkPointsTo) {
  TemporaryFolder temp;
  temp.write("target/keep.txt", "k");
  temp.write("tree/a/b.txt", "b");
  ASSERT_EQ(::symlink((temp / "target").c_str(), (temp / "link").c_str()), 0);
  Folder(temp / "tree").deleteItem();
  EXPECT_FALSE(std::filesystem::exists(temp / "tree"));
  Folder(temp / "link").deleteItem();
  EXPECT_FALSE(std::filesystem::exists(temp / "link"));
  EXPECT_EQ(korvaster::testing::readFile(temp / "target/keep.txt"), "k");
  const Folder gone(temp / "target");
  gone.deleteItem();
  try {
    gone.deleteItem();
    FAIL();
  } catch (const OperationError& error) {
    EXPECT_EQ(error.errorCase(), OperationError::Case::deleteFailed);
    EXPECT_EQ(error.item(), gone);
  }
}

}  // namespace
}  // namespace korvaster::files
