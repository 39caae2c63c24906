// KorvastError: every failure the tool itself detects and reports to the user, each with
// a fixed English message. The entry point prints the message after its report prefix.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "support/error.h"

namespace korvaster {

class KorvastError final : public support::Error {
 public:
  // Cases with a payload come first, so code() numbers them as the platform would.
  enum class Case {
    failedToBuildArchive,
    failedToExportArchive,
    failedToCleanArchives,
    missingArguments,
    missedExportOptionsPlistPath,
    failedToCreateFolder,
    missedProjectPath,
    failedToCopyProject,
    failedToBuildConfig,
    failedToReadPlistPath,
  };

  static KorvastError failedToBuildArchive(std::int32_t status);
  static KorvastError failedToExportArchive(std::int32_t status);
  static KorvastError failedToCleanArchives(std::string folderPath);
  static KorvastError missingArguments();
  static KorvastError missedExportOptionsPlistPath();
  static KorvastError failedToCreateFolder();
  static KorvastError missedProjectPath();
  static KorvastError failedToCopyProject();
  static KorvastError failedToBuildConfig();
  static KorvastError failedToReadPlistPath();

  Case errorCase() const { return case_; }
  // The user-facing message of the case.
  std::string localizedDescription() const;
  // The failure behind this one, in the words of the layer that met it ("could not copy
  // PATH: REASON", or why a copy was refused), or nothing. The fixed message never shows it;
  // the log line before the report and the run report do.
  const std::optional<std::string>& cause() const { return cause_; }
  // This error with `cause` kept.
  KorvastError because(std::string cause) const;
  KorvastError because(const std::exception& cause) const;

  // The generic description names the domain and the code only, never the message.
  std::string domain() const override { return "KorvastCommandLineToolCore.KorvastError"; }
  int code() const override { return static_cast<int>(case_); }

 private:
  explicit KorvastError(Case errorCase, std::int32_t status = 0, std::string path = {});

  Case case_;
  std::int32_t status_;
  std::string path_;
  std::optional<std::string> cause_;
};

}  // namespace korvaster
