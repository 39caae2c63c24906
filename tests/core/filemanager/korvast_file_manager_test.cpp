#include "core/filemanager/korvast_file_manager.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/errors/korvast_error.h"
#include "core/logging/console_logger.h"
#include "scoped_environment.h"
#include "temporary_folder.h"

namespace korvaster {
namespace {

using testing::readFile;
using testing::TemporaryFolder;

// A temporary HOME for the working folder, and a recorded logger.
class KorvastFileManagerTest : public ::testing::Test {
 protected:
  KorvastFileManagerTest() { home_.set(temp.makeFolder("home").c_str()); }

  KorvastFileManager service() { return KorvastFileManager(logger); }
  std::string projectsPath() { return temp / "home/.korvast/CommandLineTool/Projects/"; }

  TemporaryFolder temp;
  std::shared_ptr<RecordingLineWriter> lines = std::make_shared<RecordingLineWriter>();
  std::shared_ptr<Logger> logger =
      std::make_shared<Logger>(std::make_shared<ConsoleLogger>(LogLevel::Info, lines));

  testing::ScopedEnvironment home_{"HOME", nullptr};
};

KorvastError::Case caseOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const KorvastError& error) {
    return error.errorCase();
  }
  ADD_FAILURE() << "no KorvastError";
  return KorvastError::Case::missingArguments;
}

TEST_F(KorvastFileManagerTest, CreatingTheServiceMakesTheWorkingFolderTree) {
  const auto files = service();
  EXPECT_EQ(files.projects.path(), projectsPath());
  EXPECT_EQ(files.builds.path(), temp / "home/.korvast/CommandLineTool/AppBuilds/");
  service();  // a second run reuses the tree
  temp.write("home2/.korvast", "a file in the way");
  home_.set((temp / "home2").c_str());
  EXPECT_EQ(caseOf([&] { service(); }), KorvastError::Case::failedToCreateFolder);
}

TEST_F(KorvastFileManagerTest, CopyFilterLeavesVersionControlBehind) {
  EXPECT_FALSE(KorvastFileManagerHelper::shouldCopyItem("/p/App/.git"));
  EXPECT_FALSE(KorvastFileManagerHelper::shouldCopyItem("/p/App/sub/.git/objects/ab"));
  EXPECT_FALSE(KorvastFileManagerHelper::shouldCopyItem("/p/App/.gitignore"));
  EXPECT_FALSE(KorvastFileManagerHelper::shouldCopyItem("/p/App/.github"));
  EXPECT_FALSE(KorvastFileManagerHelper::shouldCopyItem("/p/App/.hgignore"));
  EXPECT_FALSE(KorvastFileManagerHelper::shouldCopyItem("/p/App/.svn"));
  EXPECT_TRUE(KorvastFileManagerHelper::shouldCopyItem("/p/App/x.git"));
  EXPECT_TRUE(KorvastFileManagerHelper::shouldCopyItem("/p/App/.Git"));

  temp.write("App/main.swift", "");
  temp.write("App/x.git", "");
  temp.write("App/.git/HEAD", "");
  temp.write("App/Sub/.gitignore", "");
  auto copy = service().copy(temp / "App", std::nullopt);
  copy.commit();
  EXPECT_EQ(copy.path(), projectsPath() + "App/");
  EXPECT_TRUE(std::filesystem::exists(projectsPath() + "App/main.swift"));
  EXPECT_TRUE(std::filesystem::exists(projectsPath() + "App/x.git"));
  EXPECT_FALSE(std::filesystem::exists(projectsPath() + "App/.git"));
  EXPECT_FALSE(std::filesystem::exists(projectsPath() + "App/Sub/.gitignore"));
}

TEST_F(KorvastFileManagerTest, ACopyReplacesTheEarlierCopyWhole) {
  temp.write("App/old.swift", "");
  service().copy(temp / "App", std::nullopt).commit();
  std::filesystem::remove(temp / "App/old.swift");
  temp.write("App/new.swift", "");
  {
    auto copy = service().copy(temp / "App", std::nullopt);
    // Until the new copy is complete, the earlier one stays whole where it was.
    EXPECT_TRUE(std::filesystem::exists(projectsPath() + "App/old.swift"));
    EXPECT_FALSE(std::filesystem::exists(projectsPath() + "App/new.swift"));
    copy.commit();
  }
  EXPECT_FALSE(std::filesystem::exists(projectsPath() + "App/old.swift"));
  EXPECT_TRUE(std::filesystem::exists(projectsPath() + "App/new.swift"));
  // Nothing of the staging is left beside the copy.
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(projectsPath()))
    names.push_back(entry.path().filename().string());
  EXPECT_EQ(names, std::vector<std::string>{"App"});
}

TEST_F(KorvastFileManagerTest, DestinationsMustExistAndTheProjectItselfIsReturnedUncopied) {
  temp.write("App/a.swift", "");
  EXPECT_THROW(service().copy(temp / "App", temp / "missing"), files::PathError);
  EXPECT_FALSE(std::filesystem::exists(temp / "missing"));
  EXPECT_THROW(service().copy(temp / "Nope", std::nullopt), files::PathError);
  EXPECT_EQ(service().copy(temp / "App", temp / "App").path(), temp / "App/");
  EXPECT_EQ(service().copy(temp / "App", temp / "App/../App").path(), temp / "App/");
  temp.makeFolder("out");
  EXPECT_EQ(service().copy(temp / "App", temp / "out").path(), temp / "out/App/");
}

TEST_F(KorvastFileManagerTest, NeverDeletesOrCopiesIntoTheProject) {
  temp.write("work/App/keep.swift", "precious");
  temp.write("work/App/App/inner.swift", "");
  // --output . from inside: the copy's target would be the project itself.
  EXPECT_EQ(caseOf([&] { service().copy(temp / "work/App", temp / "work"); }),
            KorvastError::Case::failedToCopyProject);
  // The destination lies inside the project.
  EXPECT_EQ(caseOf([&] { service().copy(temp / "work/App", temp / "work/App/App"); }),
            KorvastError::Case::failedToCopyProject);
  // The copy's target would hold the project: work/App/App copied into work.
  EXPECT_EQ(caseOf([&] { service().copy(temp / "work/App/App", temp / "work"); }),
            KorvastError::Case::failedToCopyProject);
  // The same through a link to the project's folder.
  ASSERT_EQ(::symlink((temp / "work").c_str(), (temp / "alias").c_str()), 0);
  EXPECT_EQ(caseOf([&] { service().copy(temp / "alias/App", temp / "work"); }),
            KorvastError::Case::failedToCopyProject);
  EXPECT_EQ(readFile(temp / "work/App/keep.swift"), "precious");
  EXPECT_TRUE(std::filesystem::exists(temp / "work/App/App/inner.swift"));
  ASSERT_EQ(lines->lines.size(), 4u);
  EXPECT_EQ(lines->lines[0].rfind("[\U0001F525] KorvastLoger -> Refusing to copy the project: ", 0), 0u);
}

TEST_F(KorvastFileManagerTest, AProjectUnderAVersionControlFolderIsRefusedWhole) {
  temp.write(".github/App/a.swift", "");
  EXPECT_EQ(caseOf([&] { service().copy(temp / ".github/App", std::nullopt); }),
            KorvastError::Case::failedToCopyProject);
  ASSERT_EQ(lines->lines.size(), 1u);
  EXPECT_EQ(
      lines->lines[0].rfind("[\U0001F525] KorvastLoger -> Copy File operation failed. Description: ", 0), 0u);
}

TEST_F(KorvastFileManagerTest, UnderAnOutputFolderOnlyAMarkedCopyIsReplaced) {
  temp.write("App/a.swift", "new");
  temp.write("out/App/work.swift", "another checkout's uncommitted work");
  EXPECT_EQ(caseOf([&] { service().copy(temp / "App", temp / "out"); }), KorvastError::Case::failedToCopyProject);
  EXPECT_EQ(readFile(temp / "out/App/work.swift"), "another checkout's uncommitted work");
  ASSERT_EQ(lines->lines.size(), 1u);
  EXPECT_EQ(lines->lines[0], "[\U0001F525] KorvastLoger -> Refusing to replace " + temp / "out/App" +
                                 ": it holds no .korvaster-copy mark, so korvaster did not make it. Move it away "
                                 "or choose another output folder.");
  // A mark that is only a link does not count.
  ASSERT_EQ(::symlink("/etc/hostname", (temp / "out/App/.korvaster-copy").c_str()), 0);
  EXPECT_EQ(caseOf([&] { service().copy(temp / "App", temp / "out"); }), KorvastError::Case::failedToCopyProject);

  // Neither is the home folder, nor a folder holding the current directory, mark or not.
  temp.write("w/home/a.swift", "");
  temp.write("home/.korvaster-copy", "");
  temp.write("home/thesis.txt", "precious");
  EXPECT_EQ(caseOf([&] { service().copy(temp / "w/home", temp.path()); }), KorvastError::Case::failedToCopyProject);
  EXPECT_EQ(readFile(temp / "home/thesis.txt"), "precious");

  std::filesystem::rename(temp / "out/App", temp / "moved");
  service().copy(temp / "App", temp / "out").commit();
  EXPECT_TRUE(std::filesystem::is_regular_file(temp / "out/App/.korvaster-copy"));
  temp.write("App/b.swift", "");
  service().copy(temp / "App", temp / "out").commit();
  EXPECT_TRUE(std::filesystem::exists(temp / "out/App/b.swift"));
}

TEST_F(KorvastFileManagerTest, ACopyLeftUncommittedLeavesNothingAndNeitherTheRootNorProjectsIsAProject) {
  temp.write("App/a.swift", "");
  temp.makeFolder("out");
  service().copy(temp / "App", temp / "out");
  EXPECT_TRUE(std::filesystem::is_empty(temp / "out"));
  EXPECT_EQ(caseOf([&] { service().copy("/", temp / "out"); }), KorvastError::Case::failedToCopyProject);
  EXPECT_TRUE(std::filesystem::is_empty(temp / "out"));
  temp.write("home/.korvast/CommandLineTool/Projects/Earlier/a.xib", "<a/>");
  EXPECT_EQ(caseOf([&] { service().copy("~/.korvast/CommandLineTool/Projects", std::nullopt); }),
            KorvastError::Case::failedToCopyProject);
  EXPECT_EQ(readFile(projectsPath() + "Earlier/a.xib"), "<a/>");
}

TEST_F(KorvastFileManagerTest, BuildFolderPerWorkspace) {
  const auto files = service();
  const std::string first = files.prepareProjectBuildFolder("/p/MyApp.xcworkspace");
  EXPECT_EQ(first, files.builds.path() + "MyApp/");
  EXPECT_TRUE(std::filesystem::is_directory(first));
  temp.write("home/.korvast/CommandLineTool/AppBuilds/MyApp/left.ipa", "");
  EXPECT_EQ(files.prepareProjectBuildFolder("MyApp.xcworkspace/"), first);
  EXPECT_TRUE(std::filesystem::exists(first + "left.ipa"));
  EXPECT_EQ(files.prepareProjectBuildFolder("/p/My.App.xcworkspace"), files.builds.path() + "My.App/");
  EXPECT_EQ(files.prepareProjectBuildFolder("Plain"), files.builds.path() + "Plain/");
  // A name that would lead out of the builds folder, or name none, is no build folder.
  for (const char* escaping : {"...xcworkspace", "..xcworkspace", "", "/"}) {
    EXPECT_EQ(caseOf([&] { files.prepareProjectBuildFolder(escaping); }), KorvastError::Case::failedToCreateFolder)
        << escaping;
  }
}

}  // namespace
}  // namespace korvaster
