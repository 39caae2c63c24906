// What the tests of the file manager and of the workflows run in: a home of their own on the
// real disk, reached through a wrapper that fails chosen calls on demand, and the log lines a
// run writes, recorded.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <optional>

#include "core/errors/korvast_error.h"
#include "core/filemanager/korvast_file_manager.h"
#include "core/logging/console_logger.h"
#include "fakes/fault_injecting_file_manager.h"
#include "files/file_manager_posix.h"
#include "fixed_environment.h"
#include "support/interruption.h"
#include "temporary_folder.h"

namespace korvaster::testing {

// On the real disk, in a temporary folder whose "home" is the home folder.
class FileManagerFixture : public ::testing::Test {
 protected:
  using Call = FaultInjectingFileManager::Call;
  static inline const std::string kInfo = "[\u2139\uFE0F] KorvastLoger -> ";
  static inline const std::string kError = "[\U0001F525] KorvastLoger -> ";

  ~FileManagerFixture() override { support::resetInterruptionForTesting(); }

  // The case of the KorvastError `action` throws; none when it throws none.
  static std::optional<KorvastError> failureOf(const std::function<void()>& action) {
    try {
      action();
    } catch (const KorvastError& error) {
      return error;
    }
    return std::nullopt;
  }
  // Runs `action`, which must throw KorvastError `expected` after logging one line: `logged`,
  // or a line that ends with `logged` when not `exact`. The error keeps what the line says of
  // its cause, for the run report.
  void expectFailure(const std::function<void()>& action, KorvastError::Case expected, const std::string& logged,
                     bool exact = true) {
    lines->lines.clear();
    const auto failure = failureOf(action);
    ASSERT_TRUE(failure.has_value()) << logged;
    EXPECT_EQ(failure->errorCase(), expected) << logged;
    ASSERT_EQ(lines->lines.size(), 1u) << logged;
    EXPECT_TRUE(exact ? lines->lines[0] == logged : endsWith(lines->lines[0], logged))
        << lines->lines[0] << "\nexpected: " << logged;
    ASSERT_TRUE(failure->cause().has_value()) << logged;
    EXPECT_NE(lines->lines[0].find(*failure->cause()), std::string::npos) << *failure->cause();
  }

  std::shared_ptr<RecordingLineWriter> lines = std::make_shared<RecordingLineWriter>();
  std::shared_ptr<Logger> logger = std::make_shared<Logger>(std::make_shared<ConsoleLogger>(LogLevel::Info, lines));

  KorvastFileManager service(std::size_t workers = 1) const { return KorvastFileManager(logger, disk, {workers}); }

  TemporaryFolder temp;
  const FixedEnvironment environment{{"HOME", temp.makeFolder("home")}};
  std::string projects = temp / "home/.korvast/CommandLineTool/Projects/";
  std::string builds = temp / "home/.korvast/CommandLineTool/AppBuilds/";
  std::shared_ptr<FaultInjectingFileManager> disk =
      std::make_shared<FaultInjectingFileManager>(std::make_shared<files::PosixFileManager>(nullptr, &environment));
};

}  // namespace korvaster::testing
