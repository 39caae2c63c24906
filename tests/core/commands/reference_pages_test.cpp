// The man page and completions are made from the option table: every option of every level
// must be in each, and the man page carries the version --version prints.
#include "core/commands/reference_pages.h"

#include <gtest/gtest.h>

#include "core/commands/constants.h"
#include "core/commands/versioning.h"
#include "core/options/command_options.h"

namespace korvaster {
namespace {

TEST(ReferencePagesTest, EveryOptionOfEveryLevelIsInEachPage) {
  const std::vector<std::pair<std::string, std::string>> pages = {
      {"man", manPage()}, {"bash", bashCompletion()}, {"zsh", zshCompletion()}, {"fish", fishCompletion()}};
  for (const auto& [kind, text] : pages) {
    for (const auto& spec : kOptionTable) {
      // fish names options without their dashes, man escapes them.
      const std::string name = kind == "fish" ? "-l " + std::string(spec.name).substr(2)
                               : kind == "man" ? "\\-\\-" + std::string(spec.name).substr(2)
                                               : std::string(spec.name);
      EXPECT_NE(text.find(name), std::string::npos) << spec.name << " missing from " << kind;
      if (spec.shortName == nullptr) continue;
      const std::string shortName = kind == "fish" ? "-s " + std::string(spec.shortName).substr(1)
                                    : kind == "man" ? "\\-" + std::string(spec.shortName).substr(1)
                                                    : std::string(spec.shortName);
      EXPECT_NE(text.find(shortName), std::string::npos) << spec.shortName << " missing from " << kind;
    }
    for (const char* command : {Constants::Commands::Modify, Constants::Commands::Build}) {
      EXPECT_NE(text.find(command), std::string::npos) << command << " missing from " << kind;
    }
  }
  const std::string version = Versioning::currentVerssion.completeDisplayString();
  EXPECT_NE(manPage().find("\"korvaster " + version.substr(version.rfind(' ') + 1) + "\""), std::string::npos);
}

TEST(ReferencePagesTest, BashOffersEachLevelItsOwnOptionsOnly) {
  const std::string bash = bashCompletion();
  const auto modifyLine = bash.substr(bash.find("    modify)"));
  const std::string modifyWords = modifyLine.substr(0, modifyLine.find('\n'));
  EXPECT_NE(modifyWords.find("--output"), std::string::npos);
  EXPECT_EQ(modifyWords.find("--export"), std::string::npos);
}

}  // namespace
}  // namespace korvaster
