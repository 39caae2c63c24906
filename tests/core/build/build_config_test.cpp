#include "core/build/build_config.h"

#include <gtest/gtest.h>

#include "core/errors/korvast_error.h"
#include "temporary_folder.h"

namespace korvaster {
namespace {

std::string plist(const std::string& entries) {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict><key>method</key>"
         "<string>ad-hoc</string>" + entries + "</dict></plist>";
}

TEST(BuildConfigTest, TheCommandLineWinsFieldByFieldAndEmptyValuesCount) {
  testing::TemporaryFolder temp;
  const std::string all = temp.write("All.plist", plist("<key>korvast_scheme</key><string>PlistScheme</string>"
                                                        "<key>korvast_configuration</key><string></string>"
                                                        "<key>korvast_workspace</key><string>P.xcworkspace</string>"));
  const BuildConfig fromPlist({}, all);
  EXPECT_EQ(std::tuple(fromPlist.scheme, fromPlist.configuration, fromPlist.workspace, fromPlist.verbose),
            std::tuple("PlistScheme", "", "P.xcworkspace", false));
  EXPECT_EQ(fromPlist.optionPlistPath, all);
  // A later argument replaces an earlier one.
  const BuildConfig mixed({{ArgumentType::scheme, "a"}, {ArgumentType::verbose, ""}, {ArgumentType::scheme, "b"}}, all);
  EXPECT_EQ(std::tuple(mixed.scheme, mixed.configuration, mixed.workspace, mixed.verbose),
            std::tuple("b", "", "P.xcworkspace", true));
  const BuildConfig fromCli({{ArgumentType::scheme, ""}, {ArgumentType::configuration, "C"},
                             {ArgumentType::workspace, "W"}, {ArgumentType::projectPath, "ignored"}},
                            temp.write("Bare.plist", plist("")));
  EXPECT_EQ(std::tuple(fromCli.scheme, fromCli.configuration, fromCli.workspace), std::tuple("", "C", "W"));
  const BuildConfig binary({}, KORVASTER_TEST_FIXTURES "/ExportOptions.binary.plist");
  EXPECT_EQ(std::tuple(binary.scheme, binary.configuration, binary.workspace),
            std::tuple("App", "Release", "App.xcworkspace"));
}

TEST(BuildConfigTest, AnUnreadableListOrAMissingSettingFails) {
  testing::TemporaryFolder temp;
  const Arguments everything{{ArgumentType::scheme, "S"}, {ArgumentType::configuration, "C"},
                             {ArgumentType::workspace, "W"}};
  const auto unreadable = KorvastError::Case::failedToReadPlistPath;
  const struct {
    Arguments arguments;
    std::string path;
    KorvastError::Case expected;
  } cases[] = {
      {everything, temp / "missing.plist", unreadable},
      {everything, temp.write("empty.plist", ""), unreadable},
      {everything, temp.write("junk.plist", "not a property list"), unreadable},
      {everything, temp.write("array.plist", "<plist><array><string>x</string></array></plist>"), unreadable},
      {everything, temp.write("number.plist", plist("<key>korvast_scheme</key><integer>3</integer>")), unreadable},
      {everything, temp.makeFolder("folder.plist"), unreadable},
      {everything, "/dev/zero", unreadable},  // never read: it would not end
      {{{ArgumentType::configuration, "C"}}, temp.write("S.plist", plist("<key>korvast_scheme</key><string>S</string>")),
       KorvastError::Case::failedToBuildConfig},
  };
  for (const auto& c : cases) {
    try {
      BuildConfig(c.arguments, c.path);
      ADD_FAILURE() << "no failure for " << c.path;
    } catch (const KorvastError& error) {
      EXPECT_EQ(error.errorCase(), c.expected) << c.path;
    }
  }
}

}  // namespace
}  // namespace korvaster
