// Finding Interface Builder files and rewriting them with identifiers.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

#include "core/file_manager_fixture.h"
#include "core/xib/identifier_pass.h"
#include "core/xib/interface_builder_pass.h"
#include "golden.h"

namespace korvaster {
namespace {

using testing::readFile;

const std::string kView =
    R"(<document><view contentMode="s" id="v-1"><string key="text">Price:  </string><b> </b><c>)"
    "\n\t</c></view></document>";
// Texts are the app's visible strings, written back exactly as they were read.
const std::string kViewRewritten = readFile(KORVASTER_GOLDEN_DIR "/view-rewritten.xib");

class InterfaceBuilderFilesTest : public testing::FileManagerFixture {
 protected:
  std::vector<files::File> found() { return manager.findIBFiles(files::Folder(temp / "P")); }
  IdentifierPassSummary modify(const std::vector<files::File>& files) {
    return manager.modifyAccessibilityId(manager.system()->openFolder(temp / "P"), files);
  }
  bool modifyAll() { return modify(found()).allSucceeded(); }

  const KorvastFileManager manager = service();
};

// A copy without links lists its files as it makes them, and that list stands in for a walk
// of the copy: it must hold the same files in the same order, or log lines change order.
TEST_F(InterfaceBuilderFilesTest, ACopysOwnListIsWhatAWalkOfItFindsAndALinkMeansWalking) {
  for (const char* name : {"P/z.xib", "P/a/y.xib", "P/a.xib", "P/a b/c.storyboard", "P/B.xib", "P/a-/d.xib",
                           "P/a/z/e.xib", "P/a/b.xib", "P/\xC3\xA9.xib", "P/.h/x.xib", "P/a/.i.xib", "P/n.xib.txt"}) {
    temp.write(name, kView);
  }
  const auto names = [&](const std::vector<files::File>& found, const ProjectCopy& copy) {
    std::vector<std::string> relative;
    for (const auto& file : found) relative.push_back(file.path().substr(copy.workFolder().path().size()));
    return relative;
  };
  const auto copy = manager.copy(temp / "P", std::nullopt);
  ASSERT_TRUE(copy.listedFiles());
  EXPECT_EQ(names(manager.findIBFiles(copy), copy), names(manager.findIBFiles(copy.workFolder()), copy));
  EXPECT_EQ(names(manager.findIBFiles(copy), copy).size(), 9u);
  ASSERT_EQ(::symlink("a", (temp / "P/link").c_str()), 0);
  EXPECT_FALSE(manager.copy(temp / "P", temp.makeFolder("out")).listedFiles());
}

TEST_F(InterfaceBuilderFilesTest, RewritesRegularFilesWithExactExtensionsInsideTheFolderOnly) {
  for (const char* name : {"P/a.xib", "P/b.storyboard", "P/C.XIB", "P/d.storyboardc", "P/e.xib.bak", "P/.f.xib",
                           "P/.hidden/g.storyboard", "P/Sub/h.xib", "P/readme", "Original/out.xib"}) {
    temp.write(name, kView);
  }
  ASSERT_EQ(::chmod((temp / "P/a.xib").c_str(), 0640), 0);
  ASSERT_EQ(::mkfifo((temp / "P/pipe.xib").c_str(), 0644), 0);
  for (const auto& [target, link] : std::vector<std::pair<std::string, std::string>>{
           {temp / "Original", "P/linked"}, {temp / "Original/out.xib", "P/direct.xib"}, {"/", "P/root"},
           {"..", "P/Sub/up"}, {"a.xib", "P/alias.xib"}}) {
    ASSERT_EQ(::symlink(target.c_str(), (temp / link).c_str()), 0) << link;
  }
  std::vector<std::string> names;
  for (const auto& file : found()) names.push_back(file.path().substr((temp / "P/").size()));
  EXPECT_EQ(names, (std::vector<std::string>{"a.xib", "alias.xib", "b.storyboard", "Sub/h.xib"}));

  EXPECT_TRUE(modifyAll());
  EXPECT_TRUE(modifyAll());  // a second run changes nothing
  EXPECT_TRUE(lines->lines.empty());
  for (const char* changed : {"P/a.xib", "P/b.storyboard", "P/Sub/h.xib"}) {
    EXPECT_EQ(readFile(temp / changed), kViewRewritten) << changed;
  }
  EXPECT_EQ(testing::permissionsOf(temp / "P/a.xib"), 0640u);
  EXPECT_TRUE(std::filesystem::is_symlink(temp / "P/alias.xib"));  // a link inside stays a link
  for (const char* kept : {"P/C.XIB", "P/e.xib.bak", "P/.f.xib", "P/.hidden/g.storyboard", "Original/out.xib"}) {
    EXPECT_EQ(readFile(temp / kept), kView) << kept;
  }
}

TEST_F(InterfaceBuilderFilesTest, EachFileThatFailsIsLoggedCountedAndLeftWholeAndTheOthersAreChanged) {
  std::string deep;
  for (int level = 0; level < 300; ++level) deep += "<view contentMode=\"a\" id=\"v\">";
  for (int level = 0; level < 300; ++level) deep += "</view>";
  const std::string broken = "<document><view contentMode=\"a\" id=\"x\"></document>";
  temp.write("P/1.xib", broken);
  temp.write("P/2.xib", deep);
  temp.write("P/3.xib", kView);
  // What a killed rewrite left goes; the copy's mark and a user's file of a like name stay.
  temp.write("P/.korvaster-rewrite-a1b2c3", "half a rewrite");
  temp.write("P/.korvaster-copy", "a mark");
  temp.write("P/.korvaster-NOTES1", "the user's own");
  EXPECT_FALSE(modifyAll());
  EXPECT_EQ(testing::entryNames(temp / "P"),
            (std::vector<std::string>{".korvaster-NOTES1", ".korvaster-copy", "1.xib", "2.xib", "3.xib"}));
  EXPECT_EQ(readFile(temp / "P/1.xib"), broken);
  EXPECT_EQ(readFile(temp / "P/2.xib"), deep);
  EXPECT_EQ(readFile(temp / "P/3.xib"), kViewRewritten);
  std::string logged;
  for (const auto& line : lines->lines) logged += line + "\n";
  testing::expectApproved("ib-file-failures.txt", testing::replaced(logged, temp.path(), "@TEMP@"));
}

// A folder swapped for a link to another tree while the pass works cannot lead a write there:
// its files fail with a line each, and the run as a whole has failed.
TEST_F(InterfaceBuilderFilesTest, AFolderSwappedForALinkDuringThePassFailsItsFilesAndNothingOutsideIsWritten) {
  for (const char* name : {"P/a/1.xib", "P/b/2.xib", "P/b/c/3.xib", "Outside/b/2.xib", "Outside/b/c/3.xib"}) {
    temp.write(name, kView);
  }
  const auto files = found();
  ASSERT_EQ(files.size(), 3u);
  const auto summary = runInterfaceBuilderJobs(
      *manager.system(), manager.system()->openFolder(temp / "P"), files, logger, 1, nullptr, true,
      [&](const files::FilePlace& place, std::size_t index) {
        if (index == 0) {
          std::filesystem::rename(temp / "P/b", temp / "P/b.moved");
          std::filesystem::create_directory_symlink(temp / "Outside/b", temp / "P/b");
        }
        return insertAccessibilityIdentifiers(place);
      },
      nullptr);
  EXPECT_NE(readFile(temp / "P/a/1.xib"), kView);
  for (const char* kept : {"Outside/b/2.xib", "Outside/b/c/3.xib", "P/b.moved/2.xib", "P/b.moved/c/3.xib"}) {
    EXPECT_EQ(readFile(temp / kept), kView) << kept;
  }
  ASSERT_EQ(lines->lines.size(), 2u);
  for (std::size_t index : {1u, 2u}) {
    EXPECT_EQ(summary.files[index].writeFailure,
              "it is no longer a folder of the project: a link or another item took its place");
  }
}

// A rename cannot keep a file's other hard links: the one replaced is named in a Warning.
TEST_F(InterfaceBuilderFilesTest, AFileWithOtherHardLinksIsReplacedWithAWarningAndTheOthersKeepTheOldContents) {
  const std::string path = temp.write("P/h.xib", kView);
  ASSERT_EQ(::link(path.c_str(), (temp.makeFolder("Other") + "/h.xib").c_str()), 0);
  EXPECT_TRUE(modifyAll());
  EXPECT_EQ(readFile(path), kViewRewritten);
  EXPECT_EQ(readFile(temp / "Other/h.xib"), kView);
  EXPECT_EQ(lines->lines, std::vector<std::string>{"[\u26A0\uFE0F] KorvastLoger -> " + path +
                                                   " had other hard links; it was replaced under this name, and "
                                                   "the others keep its old contents."});
}

TEST_F(InterfaceBuilderFilesTest, WorkersLogInTheFilesOrderAsOneWorkerDoes) {
  auto run = [&](std::size_t workers) {
    for (int i = 0; i < 40; ++i) {
      temp.write("P/f" + std::to_string(100 + i) + ".xib", i % 3 == 0 ? "<r><a></r>" : kView);
    }
    // The first file fails last: the other workers finish theirs while it is still read.
    const auto files = found();
    std::string slow = "<r>";
    for (int i = 0; i < 500000; ++i) slow += "<v contentMode=\"s\"/>";
    std::ofstream(files.front().path()) << slow << "<a></r>";
    lines->lines.clear();
    std::vector<std::string> outcomes;
    const KorvastFileManager withWorkers = service(workers);
    for (const auto& file : withWorkers.modifyAccessibilityId(disk->openFolder(temp / "P"), files).files) {
      outcomes.push_back(file.path + std::to_string(file.counts.added) + file.error.value_or(""));
    }
    return std::make_pair(lines->lines, outcomes);
  };
  const auto alone = run(1);
  EXPECT_GE(alone.first.size(), 14u);
  EXPECT_EQ(run(64), alone);
}

// Each file's result is handed on as soon as it and those before it are done, not a file later:
// a check shows each file's findings while the next one is read.
TEST_F(InterfaceBuilderFilesTest, EachResultIsHandedOnAsSoonAsItIsDone) {
  std::vector<std::string> paths;
  for (const char* name : {"a.xib", "b.xib", "c.xib"}) paths.push_back(temp.write(name, kView));
  std::string events;
  InterfaceBuilderPass(*disk, paths).run(
      1, [&](std::size_t index) { events += "job" + std::to_string(index) + " "; },
      [&](std::size_t index) { events += "deliver" + std::to_string(index) + " "; });
  EXPECT_EQ(events, "job0 deliver0 job1 deliver1 job2 deliver2 ");
}

}  // namespace
}  // namespace korvaster
