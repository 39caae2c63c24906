// The inputs the fuzz target found.
#include <gtest/gtest.h>

#include <optional>

#include "corpus.h"
#include "oracle/round_trip.h"
#include "temporary_folder.h"

namespace korvaster::xml {
namespace {

using testing::readFile;

// The fuzz target's check, replayed on the inputs kept for it.
TEST(XmlFuzzRegressionTest, SavedInputsRewriteIntoTheSameTree) {
  const auto paths = testing::filesIn(KORVASTER_FUZZ_REGRESSIONS_DIR);
  ASSERT_FALSE(paths.empty()) << "no saved inputs in " << KORVASTER_FUZZ_REGRESSIONS_DIR;
  int read = 0;
  for (const auto& path : paths) {
    bool wellFormed = false;
    EXPECT_EQ(roundTripFault(readFile(path), wellFormed), std::nullopt) << path;
    read += wellFormed;
  }
  EXPECT_GT(read, 0);
}

}  // namespace
}  // namespace korvaster::xml
