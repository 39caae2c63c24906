// The inputs the fuzz target found.
#include <gtest/gtest.h>

#include <optional>

#include "corpus.h"
#include "golden.h"
#include "temporary_folder.h"
#include "xml/rewritten_text.h"

namespace korvaster::xml {
namespace {

using testing::readFile;

// The fuzz target's check, replayed on the inputs kept for it, and the texts approved for them.
TEST(XmlFuzzRegressionTest, SavedInputsRewriteAsApprovedAndReadBackUnchanged) {
  const auto paths = testing::filesIn(KORVASTER_FUZZ_REGRESSIONS_DIR);
  ASSERT_FALSE(paths.empty()) << "no saved inputs in " << KORVASTER_FUZZ_REGRESSIONS_DIR;
  std::string written;
  for (const auto& path : paths) {
    EXPECT_EQ(roundTripFault(readFile(path)), std::nullopt) << path;
    written += "== " + std::filesystem::path(path).filename().string() + "\n" + streamed(readFile(path)) + "\n";
  }
  testing::expectApproved("fuzz-regressions.txt", written);
}

}  // namespace
}  // namespace korvaster::xml
