#include "core/build/build_config.h"

#include <gtest/gtest.h>

#include "core/errors/korvast_error.h"
#include "temporary_folder.h"

namespace korvaster {
namespace {

using testing::TemporaryFolder;

std::string plist(const std::string& entries) {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
         "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n<plist version=\"1.0\"><dict>"
         "<key>method</key><string>ad-hoc</string>" +
         entries + "</dict></plist>";
}

const std::string kAllKeys =
    "<key>korvast_scheme</key><string>PlistScheme</string>"
    "<key>korvast_configuration</key><string>PlistConfig</string>"
    "<key>korvast_workspace</key><string>Plist.xcworkspace</string>";

KorvastError::Case failureOf(const Arguments& arguments, const std::string& path) {
  try {
    BuildConfig config(arguments, path);
  } catch (const KorvastError& error) {
    return error.errorCase();
  }
  ADD_FAILURE() << "no failure";
  return KorvastError::Case::missingArguments;
}

TEST(BuildConfigTest, CommandLineWinsFieldByField) {
  TemporaryFolder temp;
  const std::string path = temp.write("Export.plist", plist(kAllKeys));
  const BuildConfig fromPlist({}, path);
  EXPECT_EQ(fromPlist.scheme, "PlistScheme");
  EXPECT_EQ(fromPlist.configuration, "PlistConfig");
  EXPECT_EQ(fromPlist.workspace, "Plist.xcworkspace");
  EXPECT_FALSE(fromPlist.verbose);
  EXPECT_EQ(fromPlist.optionPlistPath, path);

  const BuildConfig mixed({{ArgumentType::scheme, "CliScheme"}, {ArgumentType::verbose, ""}}, path);
  EXPECT_EQ(mixed.scheme, "CliScheme");
  EXPECT_EQ(mixed.configuration, "PlistConfig");
  EXPECT_EQ(mixed.workspace, "Plist.xcworkspace");
  EXPECT_TRUE(mixed.verbose);

  const std::string bare = temp.write("Bare.plist", plist(""));
  const BuildConfig fromCli({{ArgumentType::scheme, "S"},
                             {ArgumentType::configuration, "C"},
                             {ArgumentType::workspace, "W.xcworkspace"},
                             {ArgumentType::projectPath, "ignored"}},
                            bare);
  EXPECT_EQ(fromCli.scheme, "S");
  EXPECT_EQ(fromCli.configuration, "C");
  EXPECT_EQ(fromCli.workspace, "W.xcworkspace");
}

TEST(BuildConfigTest, EmptyStringsCountAsPresent) {
  TemporaryFolder temp;
  const std::string path =
      temp.write("Export.plist", plist("<key>korvast_scheme</key><string></string>"
                                       "<key>korvast_configuration</key><string>C</string>"
                                       "<key>korvast_workspace</key><string>W</string>"));
  EXPECT_EQ(BuildConfig({}, path).scheme, "");
  EXPECT_EQ(BuildConfig({{ArgumentType::configuration, ""}}, path).configuration, "");
}

TEST(BuildConfigTest, AMissingSettingIsAnIncompleteConfiguration) {
  TemporaryFolder temp;
  const std::string path = temp.write("Export.plist", plist("<key>korvast_scheme</key><string>S</string>"));
  EXPECT_EQ(failureOf({{ArgumentType::configuration, "C"}}, path), KorvastError::Case::failedToBuildConfig);
}

TEST(BuildConfigTest, AnUnreadableListFailsEvenWhenTheCommandLineHasEverything) {
  TemporaryFolder temp;
  const Arguments everything{
      {ArgumentType::scheme, "S"}, {ArgumentType::configuration, "C"}, {ArgumentType::workspace, "W"}};
  EXPECT_EQ(failureOf(everything, temp / "missing.plist"), KorvastError::Case::failedToReadPlistPath);
  EXPECT_EQ(failureOf(everything, temp.write("empty.plist", "")), KorvastError::Case::failedToReadPlistPath);
  EXPECT_EQ(failureOf(everything, temp.write("junk.plist", "not a property list")),
            KorvastError::Case::failedToReadPlistPath);
  EXPECT_EQ(
      failureOf(everything, temp.write("array.plist", "<plist><array><string>x</string></array></plist>")),
      KorvastError::Case::failedToReadPlistPath);
  EXPECT_EQ(failureOf(everything,
                      temp.write("number.plist", plist("<key>korvast_scheme</key><integer>3</integer>"))),
            KorvastError::Case::failedToReadPlistPath);
  EXPECT_EQ(failureOf(everything, temp.makeFolder("folder.plist")),
            KorvastError::Case::failedToReadPlistPath);
}

TEST(BuildConfigTest, BinaryPropertyListsAreRead) {
  const BuildConfig config({}, KORVASTER_TEST_FIXTURES "/ExportOptions.binary.plist");
  EXPECT_EQ(config.scheme, "App");
  EXPECT_EQ(config.configuration, "Release");
  EXPECT_EQ(config.workspace, "App.xcworkspace");
}

TEST(BuildArgumentsConfigTest, LaterArgumentsReplaceEarlierOnes) {
  const BuildArgumentsConfig config({{ArgumentType::scheme, "a"}, {ArgumentType::scheme, "b"}});
  EXPECT_EQ(config.scheme, "b");
  EXPECT_EQ(config.verbose, std::nullopt);
}

}  // namespace
}  // namespace korvaster
