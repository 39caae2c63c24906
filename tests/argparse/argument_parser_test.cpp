#include "argparse/argument_parser.h"

#include <gtest/gtest.h>

#include "golden.h"

namespace korvaster::argparse {
namespace {

// A top level with --version and two subcommands; "build" has a text option and a switch. Which
// level's usage a help word shows is pinned with the tool's own parser.
class ArgumentParserTest : public ::testing::Test {
 protected:
  ArgumentParserTest() : parser("tool", "<command>", "Top.") {
    version = parser.add<bool>("--version", std::nullopt, "Prints version");
    ArgumentParser& build = parser.add("build", "Builds.");
    path = build.add<std::string>("--path", std::string("-p"), "Path");
    verbose = build.add<bool>("--verbose", std::string("-v"), "Verbose");
    parser.add("modify", "Modifies.");
    parser.add("check", "Checks.").takePositionalWords("<path> ...", "Paths");
  }

  ArgumentParser parser;
  std::shared_ptr<OptionArgument<bool>> version;
  std::shared_ptr<OptionArgument<std::string>> path;
  std::shared_ptr<OptionArgument<bool>> verbose;
};

TEST_F(ArgumentParserTest, ResultsHoldTheValuesGivenAtEveryLevel) {
  struct Case {
    std::vector<std::string> words;
    std::optional<std::string> path;
    std::optional<bool> verbose;
    std::optional<bool> version;
    std::optional<std::string> subcommand;
    std::vector<std::string> positional = {};
  };
  const std::vector<Case> cases{
      {{"build", "--path=a=b"}, "a=b", {}, {}, "build"},
      {{"build", "-p="}, "", {}, {}, "build"},
      // A text option takes the next word whatever it looks like.
      {{"build", "--path", "--help"}, "--help", {}, {}, "build"},
      {{"build", "-p", "-v"}, "-v", {}, {}, "build"},
      {{"build", "-v", "--path", "p"}, "p", true, {}, "build"},
      {{"build", "--verbose=false"}, {}, false, {}, "build"},
      {{"build", "--path", "a", "-p", "b"}, "b", {}, {}, "build"},
      {{"--version", "build", "-p", "x"}, "x", {}, true, "build"},
      {{}, {}, {}, {}, {}},
      // After "--" every word is positional, help words and options alike.
      {{"check", "a", "--", "-h", "--version", "--"}, {}, {}, {}, "check", {"a", "-h", "--version", "--"}},
  };
  for (const auto& c : cases) {
    const auto result = parser.parse(c.words);
    const std::string where = c.words.empty() ? "(none)" : c.words.back();
    EXPECT_EQ(result->get(*path), c.path) << where;
    EXPECT_EQ(result->get(*verbose), c.verbose) << where;
    EXPECT_EQ(result->get(*version), c.version) << where;
    EXPECT_EQ(result->subparser(parser), c.subcommand) << where;
    EXPECT_EQ(result->positionalWords(), c.positional) << where;
  }
}

// Each refused command line's error case and sentence, against the approved text. Options belong
// to their own level.
TEST_F(ArgumentParserTest, TheFirstBadWordFailsWithItsCaseAndSentence) {
  const std::vector<std::vector<std::string>> refused{
      {"build", "--nope", "-h"}, {"build", "--nope=3"},   {"build", "-pv"},     {"--help=1"},
      {"build", "--version"},    {"modify", "-p", "x"},   {"build", "-v=yes"},  {"build", "--verbose="},
      {"build", "-p"},           {"build", "-v", "stray"}, {"frobnicate"},         {"build", "--"},
      {"check", "a", "--nope"},  {"chek"},                {"build", "--verbos"}, {"build", "--pth"}};
  std::string errors;
  for (const auto& words : refused) {
    try {
      parser.parse(words);
      ADD_FAILURE() << "no failure for " << words.back();
    } catch (const ArgumentParserError& error) {
      for (const auto& word : words) errors += word + " ";
      errors += "=> " + std::to_string(error.code()) + " " + error.description() + " / " +
                error.suggestion().value_or("-") + "\n";
    }
  }
  testing::expectApproved("argument-errors.txt", errors);
}

std::string usageOf(const ArgumentParser& parser) {
  support::StringOutputStream stream;
  parser.printUsage(stream);
  return stream.text();
}

// The column is two past the widest entry, at most 24; an entry that reaches two short of it
// stands on a line of its own.
TEST(UsageTextTest, TheColumnFollowsTheWidestEntryUpTo24AndWideEntriesStandAlone) {
  ArgumentParser wide("tool", "u", "O.");
  wide.add<std::string>("--a-very-long-option-name", std::string("-l"), "Long");  // 28 characters
  wide.add<bool>("--b", std::nullopt, "Short");
  wide.add("averyveryverylongsubcommand", "Sub.");
  ArgumentParser narrow("tool", "u", "O.");
  narrow.add<bool>("--abcdefghijk", std::nullopt, "Eleven");  // 13 characters: column 16
  narrow.add("abcdefghijklmn", "Fourteen wide.");
  narrow.add("abcdefghijklm", "Thirteen wide.");
  testing::expectApproved("usage-columns.txt", usageOf(wide) + "==\n" + usageOf(narrow));
}

}  // namespace
}  // namespace korvaster::argparse
