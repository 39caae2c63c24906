// Finding Interface Builder files and rewriting them with identifiers.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <cstdlib>

#include "core/filemanager/korvast_file_manager.h"
#include "core/logging/console_logger.h"
#include "scoped_environment.h"
#include "temporary_folder.h"

namespace korvaster {
namespace {

using testing::readFile;
using testing::TemporaryFolder;

const std::string kView = R"(<document><view contentMode="scaleToFill" id="v-1"/></document>)";
const std::string kViewRewritten =
    "<?xml version=\"1.0\" encoding=\"utf-8\" standalone=\"no\"?>\n<document>\n"
    "\t<view contentMode=\"scaleToFill\" id=\"v-1\">\n"
    "\t\t<accessibility key=\"accessibilityConfiguration\" identifier=\"v-1\" />\n"
    "\t</view>\n</document>";

class InterfaceBuilderFilesTest : public ::testing::Test {
 protected:
  InterfaceBuilderFilesTest() {
    home_.set(temp.makeFolder("home").c_str());
    service = std::make_unique<KorvastFileManager>(logger);
  }

  std::vector<std::string> namesFound(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& file : service->findIBFiles(files::Folder(folder))) {
      names.push_back(file.path().substr(folder.size() + 1));
    }
    return names;
  }

  TemporaryFolder temp;
  std::shared_ptr<RecordingLineWriter> lines = std::make_shared<RecordingLineWriter>();
  std::shared_ptr<Logger> logger =
      std::make_shared<Logger>(std::make_shared<ConsoleLogger>(LogLevel::Info, lines));
  std::unique_ptr<KorvastFileManager> service;

  testing::ScopedEnvironment home_{"HOME", nullptr};
};

TEST_F(InterfaceBuilderFilesTest, SelectsExactExtensionsAndSkipsHiddenItems) {
  for (const char* name : {"P/a.xib", "P/b.storyboard", "P/C.XIB", "P/d.storyboardc", "P/e.xib.bak",
                           "P/.f.xib", "P/.hidden/g.storyboard", "P/Sub/h.xib", "P/readme"}) {
    temp.write(name, "");
  }
  EXPECT_EQ(namesFound(temp / "P"), (std::vector<std::string>{"a.xib", "b.storyboard", "Sub/h.xib"}));
}

TEST_F(InterfaceBuilderFilesTest, NeverReachesOutsideTheFolderThroughALink) {
  temp.write("P/in.xib", kView);
  temp.write("Original/out.xib", kView);
  ASSERT_EQ(::symlink((temp / "Original").c_str(), (temp / "P/linked").c_str()), 0);
  ASSERT_EQ(::symlink((temp / "Original/out.xib").c_str(), (temp / "P/direct.xib").c_str()), 0);
  ASSERT_EQ(::symlink("in.xib", (temp / "P/alias.xib").c_str()), 0);
  EXPECT_EQ(namesFound(temp / "P"), (std::vector<std::string>{"alias.xib", "in.xib"}));
  EXPECT_TRUE(service->modifyAccessibilityId(service->findIBFiles(files::Folder(temp / "P"))));
  EXPECT_EQ(readFile(temp / "Original/out.xib"), kView);
  EXPECT_EQ(readFile(temp / "P/in.xib"), kViewRewritten);
  EXPECT_TRUE(std::filesystem::is_symlink(temp / "P/alias.xib"));  // a link inside stays a link
}

TEST_F(InterfaceBuilderFilesTest, ALinkToTheRootIsNeverEnteredAndOnlyRegularFilesAreSelected) {
  temp.write("P/in.xib", kView);
  temp.write("P/Sub/b.xib", kView);
  ASSERT_EQ(::symlink("/", (temp / "P/root").c_str()), 0);
  ASSERT_EQ(::symlink("..", (temp / "P/Sub/up").c_str()), 0);
  ASSERT_EQ(::mkfifo((temp / "P/pipe.xib").c_str(), 0644), 0);
  EXPECT_EQ(namesFound(temp / "P"), (std::vector<std::string>{"in.xib", "Sub/b.xib"}));
}

TEST_F(InterfaceBuilderFilesTest, HostileNestingIsRefusedAndKilledRewritesLeaveNoTemporaries) {
  std::string deep;
  for (int level = 0; level < 300; ++level) deep += "<view contentMode=\"a\" id=\"v\">";
  for (int level = 0; level < 300; ++level) deep += "</view>";
  const std::string deepPath = temp.write("P/deep.xib", deep);
  temp.write("P/v.xib", kView);
  temp.write("P/.korvaster-a1b2c3", "half a rewrite");
  temp.write("P/.korvaster-copy", "a mark, not a temporary");
  EXPECT_FALSE(service->modifyAccessibilityId(service->findIBFiles(files::Folder(temp / "P"))));
  EXPECT_EQ(readFile(deepPath), deep);
  ASSERT_EQ(lines->lines.size(), 1u);
  EXPECT_NE(lines->lines[0].find("elements nested deeper than 256 levels (in " + deepPath + ")"), std::string::npos)
      << lines->lines[0];
  EXPECT_FALSE(std::filesystem::exists(temp / "P/.korvaster-a1b2c3"));
  EXPECT_TRUE(std::filesystem::exists(temp / "P/.korvaster-copy"));
}

TEST_F(InterfaceBuilderFilesTest, TextsAreWrittenBackExactlyAsTheyWereRead) {
  const std::string path = temp.write(
      "P/v.xib", "<document><view contentMode=\"s\" id=\"v-1\"><string key=\"text\">Price:  </string>"
                 "<string key=\"title\">\tIndented</string><b> </b><c>\n</c></view></document>");
  EXPECT_TRUE(service->modifyAccessibilityId(service->findIBFiles(files::Folder(temp / "P"))));
  const std::string once = readFile(path);
  for (const char* kept : {">Price:  </string>", ">\tIndented</string>", "<b> </b>", "<c>\n</c>"}) {
    EXPECT_NE(once.find(kept), std::string::npos) << kept << " in " << once;
  }
  EXPECT_TRUE(service->modifyAccessibilityId(service->findIBFiles(files::Folder(temp / "P"))));
  EXPECT_EQ(readFile(path), once);
}

TEST_F(InterfaceBuilderFilesTest, AMalformedFileIsLeftByteForByteAndTheOthersAreChanged) {
  const std::string broken = "<document><view contentMode=\"a\" id=\"x\"></document>";
  temp.write("P/1.xib", kView);
  temp.write("P/2.xib", broken);
  temp.write("P/3.xib", kView);
  EXPECT_FALSE(service->modifyAccessibilityId(service->findIBFiles(files::Folder(temp / "P"))));
  EXPECT_EQ(readFile(temp / "P/1.xib"), kViewRewritten);
  EXPECT_EQ(readFile(temp / "P/2.xib"), broken);
  EXPECT_EQ(readFile(temp / "P/3.xib"), kViewRewritten);
  ASSERT_EQ(lines->lines.size(), 1u);
  EXPECT_EQ(lines->lines[0],
            "[\U0001F525] KorvastLoger -> Can't read file, Description: The operation couldn't be completed. "
            "(korvaster.XmlSyntaxError error 7.) XML syntax error at line 1, column 42: mismatched tag (in " +
                temp / "P/2.xib" + ")");
  // No temporary file is left beside them.
  EXPECT_EQ(
      std::distance(std::filesystem::directory_iterator(temp / "P"), std::filesystem::directory_iterator()),
      3);
}

TEST_F(InterfaceBuilderFilesTest, RewritesKeepPermissionsAndASecondRunOnlyFormats) {
  const std::string path = temp.write("P/v.xib", kView);
  ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
  const auto found = service->findIBFiles(files::Folder(temp / "P"));
  EXPECT_TRUE(service->modifyAccessibilityId(found));
  EXPECT_TRUE(service->modifyAccessibilityId(found));
  EXPECT_EQ(readFile(path), kViewRewritten);
  struct stat status {};
  ASSERT_EQ(::stat(path.c_str(), &status), 0);
  EXPECT_EQ(status.st_mode & 07777, 0640u);
  EXPECT_TRUE(service->modifyAccessibilityId({}));
  EXPECT_TRUE(lines->lines.empty());
}

TEST_F(InterfaceBuilderFilesTest, AnUnwritableFileIsLoggedCountedAndLeftWhole) {
  const std::string path = temp.write("P/v.xib", kView);
  const auto found = service->findIBFiles(files::Folder(temp / "P"));
  // An immutable folder refuses new entries even to root; elsewhere a read-only one does.
  const bool immutable = std::system(("chattr +i '" + temp / "P" + "' 2>/dev/null").c_str()) == 0;
  if (!immutable) {
    if (::geteuid() == 0) GTEST_SKIP() << "cannot make a folder unwritable for root here";
    ASSERT_EQ(::chmod((temp / "P").c_str(), 0555), 0);
  }
  const bool result = service->modifyAccessibilityId(found);
  if (immutable) {
    EXPECT_EQ(std::system(("chattr -i '" + temp / "P" + "'").c_str()), 0);
  }
  EXPECT_FALSE(result);
  EXPECT_EQ(readFile(path), kView);
  ASSERT_EQ(lines->lines.size(), 1u);
  EXPECT_NE(lines->lines[0].find("Can't read file, Description: "), std::string::npos);
  EXPECT_NE(lines->lines[0].find("could not write " + path), std::string::npos) << lines->lines[0];
}

}  // namespace
}  // namespace korvaster
