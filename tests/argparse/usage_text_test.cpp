#include <gtest/gtest.h>

#include "argparse/argument_parser.h"

namespace korvaster::argparse {
namespace {

std::string usageOf(const ArgumentParser& parser) {
  support::StringOutputStream stream;
  parser.printUsage(stream);
  return stream.text();
}

TEST(UsageTextTest, AlignsDescriptionsThreeColumnsAfterTheLongestEntry) {
  ArgumentParser parser(std::string("tool"), "<command> [<args>]", "Does things.",
                        std::string("https://x.test/"));
  parser.add<bool>("--version", std::nullopt, std::string("Prints tool version"));
  parser.add<std::string>("--abcdefg", std::string("-a"), std::string("Thirteen wide"));  // 13 characters
  parser.add("zeta", "Last.");
  parser.add("alpha", "First.");
  parser.add("quiet", "");
  EXPECT_EQ(usageOf(parser),
            "OVERVIEW: Does things.\n"
            "\n"
            "USAGE: tool <command> [<args>]\n"
            "\n"
            "OPTIONS:\n"
            "  --abcdefg, -a   Thirteen wide\n"
            "  --version       Prints tool version\n"
            "  --help          Display available options\n"
            "\n"
            "SUBCOMMANDS:\n"
            "  alpha           First.\n"
            "  zeta            Last.\n"
            "\n"
            "SEE ALSO: https://x.test/\n");
}

TEST(UsageTextTest, WideEntriesStandAloneAndTheColumnStopsAt24) {
  ArgumentParser parser(std::string("tool"), "u", "O.");
  parser.add<std::string>("--a-very-long-option-name", std::string("-l"),
                          std::string("Long"));  // 28 characters
  parser.add<bool>("--b", std::nullopt, std::string("Short"));
  parser.add("averyveryverylongsubcommand", "Sub.");
  EXPECT_EQ(usageOf(parser),
            "OVERVIEW: O.\n\nUSAGE: tool u\n\nOPTIONS:\n"
            "  --a-very-long-option-name, -l\n"
            "                          Long\n"
            "  --b                     Short\n"
            "  --help                  Display available options\n"
            "\nSUBCOMMANDS:\n"
            "  averyveryverylongsubcommand\n"
            "                          Sub.\n");
}

TEST(UsageTextTest, AnEntryTwoShortOfTheColumnAlreadyStandsAlone) {
  ArgumentParser parser(std::string("tool"), "u", "O.");
  parser.add<bool>("--abcdefghijk", std::nullopt, std::string("Eleven"));  // 13 characters: column 16
  parser.add("abcdefghijklmn", "Fourteen wide.");
  parser.add("abcdefghijklm", "Thirteen wide.");
  EXPECT_EQ(usageOf(parser),
            "OVERVIEW: O.\n\nUSAGE: tool u\n\nOPTIONS:\n"
            "  --abcdefghijk   Eleven\n"
            "  --help          Display available options\n"
            "\nSUBCOMMANDS:\n"
            "  abcdefghijklm   Thirteen wide.\n"
            "  abcdefghijklmn\n"
            "                  Fourteen wide.\n");
}

TEST(UsageTextTest, SubparserShowsNoUsageLineAndNoHelpLine) {
  ArgumentParser parser(std::string("tool"), "u", "O.");
  auto& sub = parser.add("build", "Builds things.");
  sub.add<std::string>("--path", std::string("-p"), std::string("Project"));
  auto& empty = parser.add("modify", "Modifies.");
  EXPECT_EQ(usageOf(sub), "OVERVIEW: Builds things.\n\nOPTIONS:\n  --path, -p   Project\n");
  EXPECT_EQ(usageOf(empty), "OVERVIEW: Modifies.\n");
}

TEST(UsageTextTest, TopLevelWithoutOptionsHasNoOptionsSection) {
  ArgumentParser parser(std::string("tool"), "u", "O.");
  EXPECT_EQ(usageOf(parser), "OVERVIEW: O.\n\nUSAGE: tool u\n");
}

}  // namespace
}  // namespace korvaster::argparse
