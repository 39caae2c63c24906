// `korvaster check` on a small project: each format compared with its approved output, what the
// exit status says, and that nothing is written; and on a large file, the memory it takes.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <unistd.h>

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
void writeProject(const TemporaryFolder& temp) {
  temp.write("App/Sub dir \xc3\xa9 100%/Main.storyboard", kMain);
  temp.write("App/Sub dir \xc3\xa9 100%/Odd.xib",
             "<document>\n  <view contentMode=\"s\" id=\"a&amp;&lt;&gt;&quot;&apos;b\"/>\n</document>\n");
  temp.write("App/Broken.xib", R"(<document><view contentMode="s" id="x">)");
  temp.write("App/Pods/Lib.xib", R"(<document><view contentMode="s" id="c"><accessibility identifier="c"/></view>)"
                                 "</document>");
}

TEST_F(CheckCommandTest, EachFormatGivesItsApprovedOutputAndTheStatusSaysWhetherAnythingWasFound) {
  writeProject(temp);
  const std::string version = korvaster({"--version"}).standardOutput;  // "korvaster \u2014 VERSION\n"
  for (const std::string format : {"text", "github", "json", "sarif", "junit", "checkstyle", "xcode"}) {
    const auto outcome = korvaster({"check", "--path", "App", "--exclude", "Pods/**", "--format=" + format}, temp.path());
    EXPECT_EQ(outcome.exitStatus, 1);
    EXPECT_EQ(outcome.standardError, "");
    const std::string output = replaced(outcome.standardOutput, version.substr(14, version.size() - 15), "@VERSION@");
    expectApproved("check." + format, replaced(output, temp.path(), "@TEMP@"));
  }
  // Run from the root, a path outside the current directory is shown from there.
  const auto fromRoot = korvaster({"check", "--path", temp / "App", "--exclude", "Pods/**", "--format=github"}, "/");
  expectApproved("check-from-root.github", replaced(fromRoot.standardOutput, temp.path().substr(1), "@TEMP@"));
  // A rule turned off lists its views as passing, in document order; the other still fails.
  temp.write("Rules/A.xib", readFile(KORVASTER_GOLDEN_DIR "/../check/1-A.xib"));
  for (const std::string format : {"junit", "sarif"}) {
    const auto ruleOff = korvaster({"check", "-p", "Rules", "--format=" + format, "--rule", "missingIdentifier=off"}, temp.path());
    EXPECT_EQ(ruleOff.exitStatus, 1);
    expectApproved("check-rule-off." + format, replaced(ruleOff.standardOutput, version.substr(14, version.size() - 15), "@VERSION@"));
  }
  // Nothing left to find: status 0. Nothing was written, not even the working folder.
  const auto clean = korvaster({"check", "-p", temp / "App/Pods"});
  EXPECT_EQ(clean.exitStatus, 0);
  EXPECT_EQ(clean.standardOutput, "Checked 1 Interface Builder file: 1 view, 0 without an accessibility identifier, "
                                  "0 duplicate identifiers, 0 unreadable.\n");
  EXPECT_TRUE(std::filesystem::is_empty(temp / "home"));
  EXPECT_EQ(readFile(temp / "App/Sub dir \xc3\xa9 100%/Main.storyboard"), kMain);
  EXPECT_EQ(entryNames(temp / "App"), (std::vector<std::string>{"Broken.xib", "Pods", "Sub dir \xc3\xa9 100%"}));
}

TEST_F(CheckCommandTest, AFindingsFileAndAJobSummaryAreWrittenWholeOrRefusedBeforeAnyWork) {
  writeProject(temp);
  // To a file: the same document, and the summary line alone on standard output; GitHub's format
  // in a GitHub job adds a table to the job's summary, after what it held.
  temp.write("summary.md", "Before\n");
  const auto filed = korvaster({"check", "-p", "App", "--exclude", "Pods/**", "--format=github", "--output-file", "found"},
                               temp.path(), {{"GITHUB_STEP_SUMMARY", temp / "summary.md"}});
  const std::string github = readFile(KORVASTER_GOLDEN_DIR "/check.github");
  EXPECT_EQ(readFile(temp / "found"), github);
  EXPECT_EQ(filed.standardOutput, github.substr(github.rfind('\n', github.size() - 2) + 1));
  const std::string summarised = readFile(temp / "summary.md");
  expectApproved("check-job-summary.md", summarised);
  // A summary page that could never be written (a folder, an IB file, a link to a file
  // elsewhere), or two files of the run that are one, however spelled, fail it before any work.
  ASSERT_EQ(::symlink((temp / "summary.md").c_str(), (temp / "link.md").c_str()), 0);
  ASSERT_EQ(::link((temp / "App/Broken.xib").c_str(), (temp / "hard.md").c_str()), 0);
  temp.write("cfg.yml", "exclude: [Pods/**]\n");
  for (const auto& [summary, options, error] :
       {std::tuple("App", std::vector<std::string>{}, "Can't write the job summary (GITHUB_STEP_SUMMARY): "),
        std::tuple("App/Broken.xib", std::vector<std::string>{}, "Interface Builder file, which a job summary is never"),
        std::tuple("link.md", std::vector<std::string>{}, "Can't write the job summary (GITHUB_STEP_SUMMARY): "),
        std::tuple("hard.md", std::vector<std::string>{}, "it has another name (a hard link), which a job summary"),
        std::tuple("", std::vector<std::string>{"--output-file", "App/.korvaster.yml"}, "named as the project's settings file"),
        std::tuple("", std::vector<std::string>{"--config", "cfg.yml", "--write-baseline", "./cfg.yml"}, "it is also the settings (--config)"),
        std::tuple("", std::vector<std::string>{"--write-baseline", "same", "--output-file", "./same"}, "it is also the baseline (--write-baseline)"),
        std::tuple("s.md", std::vector<std::string>{"--write-baseline", "App/../s.md"}, "it is also the baseline (--write-baseline)"),
        std::tuple("", std::vector<std::string>{"--baseline", "summary.md", "--output-file", "summary.md"}, "(--output-file): The operation couldn't be completed. (korvaster.FileIOError error 1.) could not write summary.md: it is also the baseline (--baseline)")}) {
    std::vector<std::string> arguments{"check", "-p", "App", "--format=github"};
    arguments.insert(arguments.end(), options.begin(), options.end());
    const auto refused = korvaster(arguments, temp.path(), {{"GITHUB_STEP_SUMMARY", summary}});
    EXPECT_EQ(refused.exitStatus, 1) << summary;
    EXPECT_NE(refused.standardError.find(error), std::string::npos) << summary << refused.standardError;
    EXPECT_EQ(refused.standardOutput.find("Checked "), std::string::npos) << summary;
  }
  EXPECT_EQ(readFile(temp / "summary.md"), summarised);
  EXPECT_EQ(readFile(temp / "App/Broken.xib"), R"(<document><view contentMode="s" id="x">)");
  EXPECT_EQ(readFile(temp / "cfg.yml"), "exclude: [Pods/**]\n");
  EXPECT_FALSE(std::filesystem::exists(temp / "same") || std::filesystem::exists(temp / "s.md"));
}

// Keyed by file, view id and rule, a baseline holds from another current folder and when lines
// move; a view added is the one finding, and the baselined view removed again is resolved. On the
// sample and, where it lies beside the checkout, the full corpus; an unreadable file still fails.
TEST_F(CheckCommandTest, ABaselineLeavesOnlyNewFindingsAndCountsTheOnesGone) {
  const auto warnings = [](const std::string& output) {
    std::size_t count = 0;
    for (auto at = output.find(": warning: "); at != std::string::npos; at = output.find(": warning: ", at + 1)) ++count;
    return count;
  };
  for (const std::string source : {KORVASTER_SAMPLE_IB, KORVASTER_CORPUS_DIR}) {
    const TemporaryFolder run;
    std::filesystem::copy(source, run / "App");
    const std::string first = filesIn(run / "App", {".xib", ".storyboard"}).front(), original = readFile(first);
    const auto plain = korvaster({"check", "--path", "App"}, run.path());
    const auto written = korvaster({"check", "--path", "App", "--write-baseline", "base"}, run.path());
    const int unreadable = plain.standardOutput.find(": error: ") != std::string::npos ? 1 : 0;
    EXPECT_EQ(written.exitStatus, unreadable);
    EXPECT_EQ(warnings(written.standardOutput), 0u);
    EXPECT_NE(written.standardError.find(std::to_string(warnings(plain.standardOutput)) + " entries to the baseline base\n"), std::string::npos);
    const std::string whole = readFile(run / "base");
    if (source == KORVASTER_SAMPLE_IB) expectApproved("check-baseline.txt", whole);
    // A run of one file keeps the others' entries, with a baseline to compare or without; its key
    // is the same from a subfolder.
    const std::string one = first.substr(run.path().size() + 1);
    for (const std::vector<std::string>& partial : {std::vector<std::string>{"--baseline", "base", "--write-baseline", "base", one},
                                                   {"--write-baseline", "base", one}}) {
      std::vector<std::string> arguments{"check", "--path", "App"};
      arguments.insert(arguments.end(), partial.begin(), partial.end());
      korvaster(arguments, run.path());
      EXPECT_EQ(readFile(run / "base"), whole) << partial.size();
    }
    EXPECT_EQ(warnings(korvaster({"check", "-p", ".", "--baseline", "../base", one.substr(4)}, run / "App").standardOutput), 0u);
    const std::vector<std::string> check{"check", "--path", ".", "--baseline", "../base"};
    const auto clean = korvaster(check, run / "App");
    EXPECT_EQ(clean.exitStatus, unreadable);
    EXPECT_EQ(warnings(clean.standardOutput), 0u) << clean.standardOutput;
    const std::size_t root = original.find('>', original.find("<document")) + 1;
    run.write(first.substr(run.path().size() + 1), original.substr(0, root) + "\n<view contentMode=\"a\" id=\"k-new\"/>" + original.substr(root));
    const auto added = korvaster(check, run / "App");
    EXPECT_EQ(added.exitStatus, 1);
    EXPECT_EQ(warnings(added.standardOutput), 1u);
    EXPECT_NE(added.standardOutput.find(": warning: view 'k-new' has no accessibility identifier\n"), std::string::npos);
    EXPECT_EQ(korvaster({"check", "-p", ".", "--baseline", "../base", "--write-baseline", "../base"}, run / "App").exitStatus, unreadable);
    run.write(first.substr(run.path().size() + 1), original);
    const auto removed = korvaster(check, run / "App");
    EXPECT_EQ(removed.exitStatus, unreadable);
    EXPECT_TRUE(endsWith(removed.standardOutput, " unreadable, 1 baseline entry resolved.\n")) << removed.standardOutput;
  }
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
