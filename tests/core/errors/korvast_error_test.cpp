#include "core/errors/korvast_error.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "golden.h"

namespace korvaster {
namespace {

// The message of every case and its generic description, which names the code and never the
// message; paths are inserted literally.
TEST(KorvastErrorTest, EveryCaseHasItsMessageAndCode) {
  std::string described;
  for (const KorvastError& error :
       {KorvastError::failedToBuildArchive(1), KorvastError::failedToBuildArchive(-1),
        KorvastError::failedToExportArchive(70), KorvastError::failedToCleanArchives("/tmp/100%d %@/"),
        KorvastError::missingArguments(), KorvastError::missedExportOptionsPlistPath(),
        KorvastError::failedToCreateFolder(), KorvastError::missedProjectPath(), KorvastError::failedToCopyProject(),
        KorvastError::failedToBuildConfig(), KorvastError::failedToReadPlistPath()}) {
    described += error.localizedDescription() + "\n" + support::genericDescription(error) + "\n";
  }
  // An error from outside the tool is named by its type.
  described += support::genericDescription(std::runtime_error("disk on fire")) + "\n";
  testing::expectApproved("korvast-errors.txt", described);
}

}  // namespace
}  // namespace korvaster
