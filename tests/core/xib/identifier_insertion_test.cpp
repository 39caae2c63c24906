#include "core/xib/identifier_insertion.h"

#include <gtest/gtest.h>

#include "core/xib/interface_builder_file.h"
#include "fakes/fault_injecting_file_manager.h"
#include "golden.h"
#include "files/file_manager_posix.h"
#include "files/file_io_error.h"
#include "temporary_folder.h"
#include "xml/xml_error.h"

namespace korvaster {
namespace {

// Each document under tests/data/insertion, its file name saying what it shows, as fix writes
// it, with what it counted, or the error that leaves it as it was, against the approved texts:
// where the new child goes among a view's children, where an accessibility child gets its
// identifier, and every byte outside the insertion (line ends, a BOM, escapes) kept.
TEST(IdentifierInsertionTest, EachDocumentGetsItsIdentifiersAsApprovedAndKeepsEveryOtherByte) {
  std::string written;
  for (const auto& path : testing::filesIn(KORVASTER_GOLDEN_DIR "/../insertion")) {
    written += "== " + std::filesystem::path(path).filename().string() + "\n";
    try {
      const IdentifierInsertion result = insertAccessibilityIdentifiers(testing::readFile(path));
      written += result.text + "\n-- " + std::to_string(result.counts.views) + " views, " +
                 std::to_string(result.counts.added) + " added, " + std::to_string(result.counts.kept) + " kept\n";
    } catch (const xml::XmlSyntaxError& error) {
      written += error.description() + "\n";
    }
  }
  testing::expectApproved("insertion.txt", written);
}

// The file on disk: rewritten only when it gains something, never when it changed meanwhile,
// and never by a dry run.
TEST(IdentifierInsertionTest, AFileIsWrittenOnlyWhenItGainsAndIsStillAsItWasRead) {
  using Call = testing::FaultInjectingFileManager::Call;
  const std::string original = "<document>\n    <view contentMode=\"a\" id=\"v-1\"/>\n</document>\n";
  const testing::TemporaryFolder temp;
  const testing::FaultInjectingFileManager disk(std::make_shared<files::PosixFileManager>());
  const std::string path = temp.write("Main.xib", original);
  const files::FilePlace place{disk.openFolder(temp.path()), "Main.xib"};

  PlannedInsertions planned;
  EXPECT_EQ(insertAccessibilityIdentifiers(place, &planned).added, 1u);
  EXPECT_EQ(testing::readFile(path), original);
  EXPECT_EQ(support::appliedEdits(planned.contents, planned.insertions.edits),
            insertAccessibilityIdentifiers(original).text);
  EXPECT_EQ(disk.calls(Call::write), 0);

  // The user saves the file between the read and the write: their text stays.
  const std::string edited = original + "<!-- saved meanwhile -->\n";
  disk.fail(Call::write, 1, 0, [&] { temp.write("Main.xib", edited); });
  try {
    insertAccessibilityIdentifiers(place);
    ADD_FAILURE() << "a file changed meanwhile was written over";
  } catch (const files::FileIOError& error) {
    EXPECT_EQ(error.reason(), "it was changed by someone else while it was rewritten");
  }
  EXPECT_EQ(testing::readFile(path), edited);

  EXPECT_EQ(insertAccessibilityIdentifiers(place).added, 1u);
  EXPECT_EQ(testing::readFile(path), insertAccessibilityIdentifiers(edited).text);
  const int writes = disk.calls(Call::write);
  EXPECT_EQ(insertAccessibilityIdentifiers(place).kept, 1u);
  EXPECT_EQ(disk.calls(Call::write), writes);
}

}  // namespace
}  // namespace korvaster
