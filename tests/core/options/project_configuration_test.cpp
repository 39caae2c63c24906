#include "core/options/project_configuration.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "files/file_io_error.h"
#include "files/file_manager_posix.h"
#include "golden.h"
#include "temporary_folder.h"

namespace korvaster {
namespace {

TEST(ProjectConfigurationTest, KeysAreReadAndEveryFaultNamesTheFileAndLine) {
  const auto read = parseProjectConfiguration("# ours\nexclude:\n  - Pods/**\n  - 'Vendor/*.xib'\nformat: sarif\n", "c");
  EXPECT_EQ(read.exclude, (std::vector<std::string>{"Pods/**", "Vendor/*.xib"}));
  EXPECT_EQ(read.format, "sarif");
  EXPECT_EQ(parseProjectConfiguration("rules:\n  duplicateIdentifier: off\n  missingIdentifier: on\n", "c").rules,
            (std::vector<std::string>{"duplicateIdentifier=off", "missingIdentifier=on"}));
  EXPECT_EQ(parseProjectConfiguration("exclude: Pods/**\n", "c").exclude, std::vector<std::string>{"Pods/**"});
  EXPECT_TRUE(parseProjectConfiguration("", "c").exclude.empty());
  // A "---" closing the file starts no second document.
  EXPECT_EQ(parseProjectConfiguration("format: json\n---\n", "c").format, "json");

  // Each fault's error, against the approved text.
  std::string errors;
  for (const char* text : {"exclude: [a]\nexcludes: [b]\n", "exclude: [a\n", "exclude: [a]\nformat: json\nexclude: [b]\n",
                           "format:\n  - json\n", "exclude:\n  a: b\n", "exclude:\n  - [a]\n", "- exclude\n", "rules: [a]\n", "rules:\n  missing: off\n",
                           "rules:\n  missingIdentifier: no\n", "rules: {missingIdentifier: on, missingIdentifier: on}\n",
                           "root:$6$salt$hash:19000:0: x\n", "format: s3cr3t:token\n"}) {
    try {
      parseProjectConfiguration(text, "P/.korvaster.yml");
      ADD_FAILURE() << "accepted: " << text;
    } catch (const ConfigurationError& error) {
      // yaml-cpp's own words differ between its versions.
      const std::string description = error.ownDescription().value_or("");
      errors += description.substr(0, description.find("YAML: ") + (description.find("YAML: ") == std::string::npos ? 0 : 6)) + "\n";
    }
  }
  testing::expectApproved("configuration-errors.txt", errors);
}

// The project's file applies without being named; --config names another one instead; the
// command line's excludes and format come first.
TEST(ProjectConfigurationTest, TheProjectsFileOrTheNamedOneAddsToTheCommandLine) {
  const testing::TemporaryFolder temp;
  const files::PosixFileManager disk;
  temp.write("P/.korvaster.yml", "exclude: [Pods/**]\nformat: json\nrules: {missingIdentifier: off}\n");
  const Arguments given{{ArgumentType::projectPath, temp / "P/"}, {ArgumentType::exclude, "A/**"}};
  const auto check = withProjectConfiguration(given, CommandLevel::check, disk);
  EXPECT_EQ(lookupAll(check, ArgumentType::exclude), (std::vector<std::string>{"A/**", "Pods/**"}));
  EXPECT_EQ(lookup(check, ArgumentType::format), "json");
  EXPECT_EQ(lookupAll(check, ArgumentType::rule), std::vector<std::string>{"missingIdentifier=off"});
  EXPECT_FALSE(contains(withProjectConfiguration(given, CommandLevel::fix, disk), ArgumentType::rule));
  EXPECT_FALSE(lookup(withProjectConfiguration(given, CommandLevel::fix, disk), ArgumentType::format));
  Arguments withFormat = given;
  withFormat.emplace_back(ArgumentType::format, "text");
  EXPECT_EQ(lookupAll(withProjectConfiguration(withFormat, CommandLevel::check, disk), ArgumentType::format),
            std::vector<std::string>{"text"});

  Arguments named = given;
  named.emplace_back(ArgumentType::configFile, temp.write("elsewhere.yml", "exclude: Vendor/**\n"));
  EXPECT_EQ(lookupAll(withProjectConfiguration(named, CommandLevel::modify, disk), ArgumentType::exclude),
            (std::vector<std::string>{"A/**", "Vendor/**"}));
  named.back().value = temp / "missing.yml";
  EXPECT_THROW(withProjectConfiguration(named, CommandLevel::modify, disk), files::FileIOError);
  const Arguments elsewhere{{ArgumentType::projectPath, temp / "Q"}};
  EXPECT_EQ(withProjectConfiguration(elsewhere, CommandLevel::check, disk), elsewhere);
}

// A configuration file is judged whole by every command, before it is read into the command
// line: what cannot be used is an error that names it.
TEST(ProjectConfigurationTest, AFileThatCannotBeUsedWholeIsAnErrorForEveryCommand) {
  const std::string file = "P/.korvaster.yml";
  const struct {
    std::function<void(const testing::TemporaryFolder&)> make;
    std::string error;  // after the file's path
  } cases[] = {
      {[&](const auto& temp) { temp.write(file, "exclude: [a]\nformat: xml\n"); },
       ":2: 'format' cannot be 'xml' (allowed: text, json, github, sarif, junit, checkstyle, xcode)"},
      {[&](const auto& temp) { temp.write(file, "exclude: [a]\n---\nformat: json\n"); },
       ":3: more than one YAML document; keep one"},
      {[&](const auto& temp) { temp.makeFolder(file); }, ": not a regular file"},
      {[&](const auto& temp) {
         std::filesystem::create_directory_symlink(temp.makeFolder("P/inside"), temp / file);
       },
       ": not a regular file"},
      // A link out of the project may lead to a file whose first line would show in the error.
      {[&](const auto& temp) {
         std::filesystem::create_symlink(temp.write("elsewhere", "token: x\n"), temp.makeFolder("P") + ".korvaster.yml");
       },
       ": a link to a file outside the project; it is not read"},
      {[&](const auto& temp) { temp.write(file, std::string((1 << 20) + 1, '#')); },
       ": larger than 1 MiB, too large for a configuration file"},
  };
  const files::PosixFileManager disk;
  for (const CommandLevel level :
       {CommandLevel::check, CommandLevel::fix, CommandLevel::modify, CommandLevel::ids}) {
    for (const auto& c : cases) {
      const testing::TemporaryFolder temp;
      c.make(temp);
      try {
        withProjectConfiguration({{ArgumentType::projectPath, temp / "P"}}, level, disk);
        ADD_FAILURE() << "accepted: " << c.error;
      } catch (const ConfigurationError& error) {
        EXPECT_EQ(*error.ownDescription(), temp / file + c.error);
      }
    }
  }
}

}  // namespace
}  // namespace korvaster
