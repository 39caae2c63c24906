#include "argparse/argument_parser.h"

#include <gtest/gtest.h>

#include "argparse/help_requested.h"

namespace korvaster::argparse {
namespace {

class ArgumentParserTest : public ::testing::Test {
 protected:
  ArgumentParserTest() : parser(std::string("tool"), "<command>", "Top.") {
    version = parser.add<bool>("--version", std::nullopt, std::string("Prints version"));
    build = &parser.add("build", "Builds.");
    path = build->add<std::string>("--path", std::string("-p"), std::string("Path"));
    verbose = build->add<bool>("--verbose", std::string("-v"), std::string("Verbose"));
    modify = &parser.add("modify", "Modifies.");
  }

  // The description of the failure that parsing `words` throws, or "no failure".
  std::string failureOf(const std::vector<std::string>& words) {
    try {
      parser.parse(words);
    } catch (const ArgumentParserError& error) {
      return error.description();
    }
    return "no failure";
  }

  ArgumentParser parser;
  ArgumentParser* build;
  ArgumentParser* modify;
  std::shared_ptr<OptionArgument<bool>> version;
  std::shared_ptr<OptionArgument<std::string>> path;
  std::shared_ptr<OptionArgument<bool>> verbose;
};

TEST_F(ArgumentParserTest, FailureMessagesNameTheOffendingWord) {
  EXPECT_EQ(failureOf({"build", "--nope"}), "unknown option --nope; use --help to list available options");
  EXPECT_EQ(failureOf({"build", "--nope=3"}), "unknown option --nope; use --help to list available options");
  EXPECT_EQ(failureOf({"build", "--"}), "unknown option --; use --help to list available options");
  EXPECT_EQ(failureOf({"build", "-pv"}), "unknown option -pv; use --help to list available options");
  EXPECT_EQ(failureOf({"build", "-p"}),
            "option -p requires a value; provide a value using '-p <value>' or '-p=<value>'");
  EXPECT_EQ(failureOf({"build", "--path"}),
            "option --path requires a value; provide a value using '--path <value>' or '--path=<value>'");
  EXPECT_EQ(failureOf({"build", "-v=yes"}),
            "unknown value 'yes' for argument --verbose; use --help to print usage");
  EXPECT_EQ(failureOf({"build", "--verbose="}),
            "unknown value '' for argument --verbose; use --help to print usage");
  EXPECT_EQ(failureOf({"build", "stray"}),
            "unexpected argument stray; use --help to list available arguments");
  EXPECT_EQ(failureOf({"frobnicate"}), "expected arguments: build, modify");
}

TEST_F(ArgumentParserTest, OptionsBelongToTheirOwnLevel) {
  EXPECT_EQ(failureOf({"build", "--version"}),
            "unknown option --version; use --help to list available options");
  EXPECT_EQ(failureOf({"--path", "x"}), "unknown option --path; use --help to list available options");
  EXPECT_EQ(failureOf({"modify", "-p", "x"}), "unknown option -p; use --help to list available options");
}

TEST_F(ArgumentParserTest, TheFirstBadWordEndsTheParseBeforeALaterHelpWord) {
  EXPECT_EQ(failureOf({"build", "--nope", "-h"}),
            "unknown option --nope; use --help to list available options");
}

TEST_F(ArgumentParserTest, AttachedValuesSplitAtTheFirstEquals) {
  auto result = parser.parse({"build", "--path=a=b"});
  EXPECT_EQ(result->get(*path), "a=b");
  result = parser.parse({"build", "-p="});
  EXPECT_EQ(result->get(*path), "");
}

TEST_F(ArgumentParserTest, TextOptionTakesTheNextWordWhateverItLooksLike) {
  EXPECT_EQ(parser.parse({"build", "--path", "--help"})->get(*path), "--help");
  EXPECT_EQ(parser.parse({"build", "-p", "-v"})->get(*path), "-v");
}

TEST_F(ArgumentParserTest, BooleanValues) {
  auto result = parser.parse({"build", "-v", "--path", "p"});
  EXPECT_EQ(result->get(*verbose), true);
  EXPECT_EQ(result->get(*path), "p");
  EXPECT_EQ(parser.parse({"build", "--verbose=false"})->get(*verbose), false);
  EXPECT_EQ(parser.parse({"build", "--verbose=true"})->get(*verbose), true);
  EXPECT_EQ(parser.parse({"build"})->get(*verbose), std::nullopt);
  EXPECT_EQ(failureOf({"build", "-v", "stray"}),
            "unexpected argument stray; use --help to list available arguments");
}

TEST_F(ArgumentParserTest, TheLastOccurrenceWinsAcrossShortAndLongNames) {
  EXPECT_EQ(parser.parse({"build", "--path", "a", "-p", "b"})->get(*path), "b");
  EXPECT_EQ(parser.parse({"build", "-p", "a", "--path=c"})->get(*path), "c");
}

TEST_F(ArgumentParserTest, ResultsAnswerForEveryLevelAndNameTheChosenSubcommand) {
  auto result = parser.parse({"--version", "build", "-p", "x"});
  EXPECT_EQ(result->get(*version), true);
  EXPECT_EQ(result->get(*path), "x");
  EXPECT_EQ(result->subparser(parser), "build");

  result = parser.parse({});
  EXPECT_EQ(result->subparser(parser), std::nullopt);
  EXPECT_EQ(result->get(*version), std::nullopt);
}

TEST_F(ArgumentParserTest, HelpWordsThrowTheUsageOfTheParserThatMeetsThem) {
  auto usageOf = [](const ArgumentParser& level) {
    support::StringOutputStream stream;
    level.printUsage(stream);
    return stream.text();
  };
  auto helpFor = [this](const std::vector<std::string>& words) -> std::string {
    try {
      parser.parse(words);
    } catch (const HelpRequested& help) {
      return help.usage();
    }
    return "no help";
  };
  EXPECT_EQ(helpFor({"-h"}), usageOf(parser));
  EXPECT_EQ(helpFor({"--help", "frobnicate"}), usageOf(parser));
  EXPECT_EQ(helpFor({"build", "-p", "x", "-help"}), usageOf(*build));
  EXPECT_EQ(helpFor({"modify", "--help"}), usageOf(*modify));
  EXPECT_NE(usageOf(*build), usageOf(*modify));
  // With "=" attached the word is an ordinary option word.
  EXPECT_EQ(failureOf({"--help=1"}), "unknown option --help; use --help to list available options");
}

}  // namespace
}  // namespace korvaster::argparse
