// `korvaster check` on a small project: each format compared with its approved output, what the
// exit status says, and that nothing is written; and on a large file, the memory it takes.
#include <gtest/gtest.h>

#include <sys/resource.h>

#include <filesystem>
#include <fstream>

#include "e2e/child_process.h"
#include "golden.h"

namespace korvaster::testing {
namespace {

// A label without an identifier, and a button that reuses its parent's.
const std::string kMain = readFile(KORVASTER_GOLDEN_DIR "/../e2e/check-Main.storyboard");

using CheckCommandTest = KorvasterTest;

// An id with every character XML escapes, in a folder whose name a URI must encode, a file that
// cannot be read and one an exclude glob takes.
TEST_F(CheckCommandTest, EachFormatGivesItsApprovedOutputAndTheStatusSaysWhetherAnythingWasFound) {
  temp.write("App/Sub dir \xc3\xa9 100%/Main.storyboard", kMain);
  temp.write("App/Sub dir \xc3\xa9 100%/Odd.xib",
             "<document>\n  <view contentMode=\"s\" id=\"a&amp;&lt;&gt;&quot;&apos;b\"/>\n</document>\n");
  temp.write("App/Broken.xib", R"(<document><view contentMode="s" id="x">)");
  temp.write("App/Pods/Lib.xib", R"(<document><view contentMode="s" id="c"><accessibility identifier="c"/></view>)"
                                 "</document>");
  const std::string version = korvaster({"--version"}).standardOutput;  // "korvaster \u2014 VERSION\n"
  for (const std::string format : {"text", "github", "json", "sarif", "junit", "checkstyle", "xcode"}) {
    const auto outcome = korvaster({"check", "--path", "App", "--exclude", "Pods/**", "--format=" + format}, temp.path());
    EXPECT_EQ(outcome.exitStatus, 1);
    EXPECT_EQ(outcome.standardError, "");
    const std::string output = replaced(outcome.standardOutput, version.substr(14, version.size() - 15), "@VERSION@");
    expectApproved("check." + format, replaced(output, temp.path(), "@TEMP@"));
  }
  // To a file: the same document, and the summary line alone on standard output; GitHub's format
  // in a GitHub job adds a table to the job's summary, after what it held.
  temp.write("summary.md", "Before\n");
  const auto filed = korvaster({"check", "-p", "App", "--exclude", "Pods/**", "--format=github", "--output-file", "found"},
                               temp.path(), {{"GITHUB_STEP_SUMMARY", temp / "summary.md"}});
  const std::string github = readFile(KORVASTER_GOLDEN_DIR "/check.github");
  EXPECT_EQ(readFile(temp / "found"), github);
  EXPECT_EQ(filed.standardOutput, github.substr(github.rfind('\n', github.size() - 2) + 1));
  expectApproved("check-job-summary.md", readFile(temp / "summary.md"));
  // A summary page that cannot be written fails the run.
  const auto unsummarised = korvaster({"check", "-p", "App", "--format=github"}, temp.path(), {{"GITHUB_STEP_SUMMARY", "App"}});
  EXPECT_EQ(unsummarised.exitStatus, 1);
  EXPECT_NE(unsummarised.standardError.find("Can't write the job summary (GITHUB_STEP_SUMMARY): "), std::string::npos);
  // Run from the root, a path outside the current directory is shown from there.
  const auto fromRoot = korvaster({"check", "--path", temp / "App", "--exclude", "Pods/**", "--format=github"}, "/");
  expectApproved("check-from-root.github", replaced(fromRoot.standardOutput, temp.path().substr(1), "@TEMP@"));
  // Nothing left to find: status 0. Nothing was written, not even the working folder.
  const auto clean = korvaster({"check", "-p", temp / "App/Pods"});
  EXPECT_EQ(clean.exitStatus, 0);
  EXPECT_EQ(clean.standardOutput, "Checked 1 Interface Builder file: 1 view, 0 without an accessibility identifier, "
                                  "0 duplicate identifiers, 0 unreadable.\n");
  EXPECT_TRUE(std::filesystem::is_empty(temp / "home"));
  EXPECT_EQ(readFile(temp / "App/Sub dir \xc3\xa9 100%/Main.storyboard"), kMain);
  EXPECT_EQ(entryNames(temp / "App"), (std::vector<std::string>{"Broken.xib", "Pods", "Sub dir \xc3\xa9 100%"}));
}

// Findings are written as each file is done, and a scan keeps only what they show: however many
// a file has, the run needs about twice the file's size (its contents and its findings). Holding
// every finding first took six times the file in text and fourteen in JSON.
TEST_F(CheckCommandTest, PeakMemoryStaysNearTwiceTheFileHoweverManyFindingsItHas) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the sanitizers' own memory would swamp the measure";
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
  GTEST_SKIP() << "the sanitizers' own memory would swamp the measure";
#endif
#endif
  // Every other view lacks an identifier, the rest all repeat one. Written as it is made: a
  // child starts with its parent's resident memory counted in its peak, so the test keeps little.
  {
    std::ofstream file(temp.makeFolder("Big") + "Big.xib", std::ios::binary);
    file << "<document>\n";
    for (int view = 0; view < 160000; ++view) {
      file << "<view contentMode=\"s\" id=\"" << 1000000 + view
           << (view % 2 == 0 ? "\"/>\n" : "\"><accessibility identifier=\"t\"/></view>\n");
    }
    file << "</document>\n";
  }
  const auto fileKilobytes = static_cast<long>(std::filesystem::file_size(temp / "Big/Big.xib") / 1024);
  struct rusage own {};
  ASSERT_EQ(::getrusage(RUSAGE_SELF, &own), 0);
#if defined(__APPLE__)
  const long ownKilobytes = own.ru_maxrss / 1024;
#else
  const long ownKilobytes = own.ru_maxrss;
#endif
  ASSERT_LT(ownKilobytes, 2 * fileKilobytes) << "the test itself holds too much for the measure to mean much";
  for (const char* format : {"text", "json", "sarif", "junit", "checkstyle"}) {
    // The output goes to a full device: the findings are made and written all the same, and the
    // test need not read them back into its own memory.
    const auto outcome = finishChild(start({"check", "--path", temp / "Big", "--format", format}, {}, "",
                                           StandardOutput::fullDevice));
    EXPECT_EQ(outcome.exitStatus, 1) << format;
    EXPECT_LT(outcome.peakResidentKilobytes, 4 * fileKilobytes)
        << format << ": " << outcome.peakResidentKilobytes << " KiB at the peak for a file of "
        << fileKilobytes << " KiB";
  }
}

}  // namespace
}  // namespace korvaster::testing
