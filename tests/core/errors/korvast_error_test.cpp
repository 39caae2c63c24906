#include "core/errors/korvast_error.h"

#include <gtest/gtest.h>

namespace korvaster {
namespace {

TEST(KorvastErrorTest, EveryCaseHasItsMessage) {
  EXPECT_EQ(KorvastError::failedToBuildArchive(1).localizedDescription(),
            "Can't build archive. Error code - 1. Use --verbose parameter to print xcodebuild output.");
  EXPECT_EQ(KorvastError::failedToCleanArchives("/u/.korvast/AppBuilds/").localizedDescription(),
            "Can't delete build archives in the folder /u/.korvast/AppBuilds/");
  EXPECT_EQ(KorvastError::missingArguments().localizedDescription(),
            "Arguments are not provided. Call -h or --help for help.");
  EXPECT_EQ(KorvastError::missedExportOptionsPlistPath().localizedDescription(),
            "Export Options plist path is missing.");
  EXPECT_EQ(KorvastError::failedToCreateFolder().localizedDescription(),
            "Can't create a folder at path '~/.korvast'");
  EXPECT_EQ(KorvastError::missedProjectPath().localizedDescription(), "Project path is not provided.");
  EXPECT_EQ(KorvastError::failedToCopyProject().localizedDescription(),
            "Can't copy Project to Korvast folder: '~/.korvast'");
  EXPECT_EQ(KorvastError::failedToBuildConfig().localizedDescription(),
            "Either `scheme` or `configuration` or `workspace` or all together are not found.");
  EXPECT_EQ(KorvastError::failedToReadPlistPath().localizedDescription(),
            "Can't read Export Options plist path.");
}

TEST(KorvastErrorTest, ExportFailureSharesTheArchiveTextAndKeepsTheSign) {
  EXPECT_EQ(KorvastError::failedToExportArchive(70).localizedDescription(),
            "Can't build archive. Error code - 70. Use --verbose parameter to print xcodebuild output.");
  EXPECT_EQ(KorvastError::failedToBuildArchive(-1).localizedDescription(),
            "Can't build archive. Error code - -1. Use --verbose parameter to print xcodebuild output.");
}

TEST(KorvastErrorTest, PathsAreInsertedLiterally) {
  EXPECT_EQ(KorvastError::failedToCleanArchives("/tmp/100%d %@/").localizedDescription(),
            "Can't delete build archives in the folder /tmp/100%d %@/");
}

TEST(KorvastErrorTest, GenericDescriptionNamesDomainAndCodeNotTheMessage) {
  EXPECT_EQ(support::genericDescription(KorvastError::missingArguments()),
            "The operation couldn't be completed. (KorvastCommandLineToolCore.KorvastError error 3.)");
  EXPECT_EQ(KorvastError::failedToReadPlistPath().code(), 9);
}

}  // namespace
}  // namespace korvaster
