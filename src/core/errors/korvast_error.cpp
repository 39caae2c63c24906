#include "core/errors/korvast_error.h"

#include <utility>

#include "core/errors/working_folder_name.h"
#include "support/text_format.h"

namespace korvaster {

namespace {
constexpr const char* kArchive =
    "Can't build archive. Error code - %d. Use --verbose parameter to print xcodebuild output.";
constexpr const char* kCleanArchive = "Can't delete build archives in the folder %@";
}  // namespace

KorvastError::KorvastError(Case errorCase, std::int32_t status, std::string path)
    : case_(errorCase), status_(status), path_(std::move(path)) {}

KorvastError KorvastError::because(std::string cause) const {
  KorvastError error = *this;
  error.cause_ = std::move(cause);
  return error;
}

KorvastError KorvastError::because(const std::exception& cause) const {
  return because(support::plainDescription(cause));
}

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
  switch (case_) {
    case Case::failedToBuildArchive:
    case Case::failedToExportArchive:
      return support::replacingFirst(kArchive, "%d", std::to_string(status_));
    case Case::failedToCleanArchives:
      return support::replacingFirst(kCleanArchive, "%@", path_);
    case Case::missingArguments:
      return "Arguments are not provided. Call -h or --help for help.";
    case Case::missedExportOptionsPlistPath:
      return "Export Options plist path is missing.";
    case Case::failedToCreateFolder:
      return std::string("Can't create a folder at path '~/") + kWorkingFolderName + "'";
    case Case::missedProjectPath:
      return "Project path is not provided.";
    case Case::failedToCopyProject:
      return std::string("Can't copy Project to Korvast folder: '~/") + kWorkingFolderName + "'";
    case Case::failedToBuildConfig:
      return "Either `scheme` or `configuration` or `workspace` or all together are not found.";
    case Case::failedToReadPlistPath:
      return "Can't read Export Options plist path.";
  }
  return {};
}

}  // namespace korvaster
