#include "core/errors/korvast_error.h"

#include <utility>

#include "core/filemanager/working_folder_name.h"
#include "support/text_format.h"

namespace korvaster {

namespace Constants::Errors {
const char* const Archive =
    "Can't build archive. Error code - %d. Use --verbose parameter to print xcodebuild output.";
const char* const CleanArchive = "Can't delete build archives in the folder %@";
const char* const MissingArgs = "Arguments are not provided. Call -h or --help for help.";
const char* const MissingPlist = "Export Options plist path is missing.";
const char* const MissingProject = "Project path is not provided.";
const char* const IncompleteConfig =
    "Either `scheme` or `configuration` or `workspace` or all together are not found.";
const char* const ReadPlist = "Can't read Export Options plist path.";

const std::string& CreateFolder() {
  static const std::string text = std::string("Can't create a folder at path '~/") + kWorkingFolderName + "'";
  return text;
}

const std::string& ProjectCopy() {
  static const std::string text =
      std::string("Can't copy Project to Korvast folder: '~/") + kWorkingFolderName + "'";
  return text;
}
}  // namespace Constants::Errors

KorvastError::KorvastError(Case errorCase, std::int32_t status, std::string path)
    : case_(errorCase), status_(status), path_(std::move(path)) {}

KorvastError KorvastError::failedToBuildArchive(std::int32_t status) {
  return KorvastError(Case::failedToBuildArchive, status);
}
KorvastError KorvastError::failedToExportArchive(std::int32_t status) {
  return KorvastError(Case::failedToExportArchive, status);
}
KorvastError KorvastError::failedToCleanArchives(std::string folderPath) {
  return KorvastError(Case::failedToCleanArchives, 0, std::move(folderPath));
}
KorvastError KorvastError::missingArguments() { return KorvastError(Case::missingArguments); }
KorvastError KorvastError::missedExportOptionsPlistPath() {
  return KorvastError(Case::missedExportOptionsPlistPath);
}
KorvastError KorvastError::failedToCreateFolder() { return KorvastError(Case::failedToCreateFolder); }
KorvastError KorvastError::missedProjectPath() { return KorvastError(Case::missedProjectPath); }
KorvastError KorvastError::failedToCopyProject() { return KorvastError(Case::failedToCopyProject); }
KorvastError KorvastError::failedToBuildConfig() { return KorvastError(Case::failedToBuildConfig); }
KorvastError KorvastError::failedToReadPlistPath() { return KorvastError(Case::failedToReadPlistPath); }

std::string KorvastError::localizedDescription() const {
  using namespace Constants::Errors;
  switch (case_) {
    case Case::failedToBuildArchive:
    case Case::failedToExportArchive:
      return support::replacingFirst(Archive, "%d", std::to_string(status_));
    case Case::failedToCleanArchives:
      return support::replacingFirst(CleanArchive, "%@", path_);
    case Case::missingArguments:
      return MissingArgs;
    case Case::missedExportOptionsPlistPath:
      return MissingPlist;
    case Case::failedToCreateFolder:
      return CreateFolder();
    case Case::missedProjectPath:
      return MissingProject;
    case Case::failedToCopyProject:
      return ProjectCopy();
    case Case::failedToBuildConfig:
      return IncompleteConfig;
    case Case::failedToReadPlistPath:
      return ReadPlist;
  }
  return {};
}

}  // namespace korvaster
