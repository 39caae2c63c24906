// The layout rules of usage texts; the tool's own texts are pinned with its commands.
#include <gtest/gtest.h>

#include "argparse/argument_parser.h"

namespace korvaster::argparse {
namespace {

std::string usageOf(const ArgumentParser& parser) {
  support::StringOutputStream stream;
  parser.printUsage(stream);
  return stream.text();
}

TEST(UsageTextTest, WideEntriesStandAloneAndTheColumnStopsAt24) {
  ArgumentParser parser("tool", "u", "O.");
  parser.add<std::string>("--a-very-long-option-name", std::string("-l"), "Long");  // 28 characters
  parser.add<bool>("--b", std::nullopt, "Short");
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
  ArgumentParser parser("tool", "u", "O.");
  parser.add<bool>("--abcdefghijk", std::nullopt, "Eleven");  // 13 characters: column 16
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

}  // namespace
}  // namespace korvaster::argparse
