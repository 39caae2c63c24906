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

// The column is two past the widest entry, at most 24; an entry that reaches two short of it
// stands on a line of its own.
TEST(UsageTextTest, TheColumnFollowsTheWidestEntryUpTo24AndWideEntriesStandAlone) {
  ArgumentParser wide("tool", "u", "O.");
  wide.add<std::string>("--a-very-long-option-name", std::string("-l"), "Long");  // 28 characters
  wide.add<bool>("--b", std::nullopt, "Short");
  wide.add("averyveryverylongsubcommand", "Sub.");
  EXPECT_EQ(usageOf(wide),
            "OVERVIEW: O.\n\nUSAGE: tool u\n\nOPTIONS:\n  --a-very-long-option-name, -l\n                          Long\n"
            "  --b                     Short\n  --help                  Display available options\n"
            "\nSUBCOMMANDS:\n  averyveryverylongsubcommand\n                          Sub.\n");
  ArgumentParser narrow("tool", "u", "O.");
  narrow.add<bool>("--abcdefghijk", std::nullopt, "Eleven");  // 13 characters: column 16
  narrow.add("abcdefghijklmn", "Fourteen wide.");
  narrow.add("abcdefghijklm", "Thirteen wide.");
  EXPECT_EQ(usageOf(narrow),
            "OVERVIEW: O.\n\nUSAGE: tool u\n\nOPTIONS:\n  --abcdefghijk   Eleven\n  --help          Display available options\n"
            "\nSUBCOMMANDS:\n  abcdefghijklm   Thirteen wide.\n  abcdefghijklmn\n                  Fourteen wide.\n");
}

}  // namespace
}  // namespace korvaster::argparse
