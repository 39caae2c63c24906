// `korvaster ids` on one small project through every format, each compared with its approved
// output, and the run's status.
#include <gtest/gtest.h>

#include <filesystem>

#include "e2e/child_process.h"
#include "golden.h"

namespace korvaster::testing {
namespace {

// Under tests/data/e2e: a scene whose controller's outlet comes after the view it names, a label
// whose text holds a comma and a quote, a password field (a UI test's secure text field), a view
// whose identifier CSV, JSON and Swift each escape, a second scene (a second owner in one file),
// and a xib owned by its File's Owner; and a file that cannot be read.
const std::string kMain = readFile(KORVASTER_GOLDEN_DIR "/../e2e/ids-Main.storyboard");
const std::string kCell = readFile(KORVASTER_GOLDEN_DIR "/../e2e/ids-Cell.xib");

using IdsCommandTest = KorvasterTest;

TEST_F(IdsCommandTest, EveryFormatGivesItsApprovedOutputAndNothingIsWritten) {
  temp.write("App/Main.storyboard", kMain);
  temp.write("App/Cell.xib", kCell);
  temp.write("App/Pods/Lib.xib", kCell);
  for (const char* format : {"text", "json", "csv", "swift", "xcuitest"}) {
    const auto outcome = korvaster({"ids", "--path", "App", "--exclude", "Pods/**", "--format", format}, temp.path());
    EXPECT_EQ(outcome.exitStatus, 0) << format;
    EXPECT_EQ(outcome.standardError, "") << format;
    expectApproved(std::string("ids.") + format, outcome.standardOutput);
  }
  // A C1 control and a byte that is not UTF-8 in a name are escaped: the CSV stays UTF-8.
  temp.write("Odd/E\xC2\x9b\xff.xib", kCell);
  const auto odd = korvaster({"ids", "--path", "Odd", "--format", "csv"}, temp.path());
  EXPECT_NE(odd.standardOutput.find("E\\x9b\\xff.xib,"), std::string::npos) << odd.standardOutput;
  const auto filed = korvaster({"ids", "-p", "App", "--exclude", "Pods/**", "--format", "swift", "--output-file", "I.swift"},
                               temp.path());
  EXPECT_EQ(filed.standardOutput, "");
  EXPECT_EQ(readFile(temp / "I.swift"), readFile(KORVASTER_GOLDEN_DIR "/ids.swift"));
  // Read-only: nothing beside the project, not even the working folder.
  EXPECT_FALSE(std::filesystem::exists(projects));

  temp.write("App/Broken.xib", "<document>\n<view contentMode=\"a\" id=\"x\">");
  for (const char* format : {"text", "json", "csv", "swift", "xcuitest"}) {
    const auto outcome = korvaster({"ids", "-p", "App/", "--format=" + std::string(format)}, temp.path());
    EXPECT_EQ(outcome.exitStatus, 1) << format;
    expectApproved(std::string("ids-unreadable.") + format, outcome.standardOutput);
  }
}

}  // namespace
}  // namespace korvaster::testing
