// The sample of real files that ships with the sources, and the inputs the fuzz target found.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

#include "corpus.h"
#include "oracle/round_trip.h"
#include "temporary_folder.h"

namespace korvaster::xml {
namespace {

using testing::readFile;

// Each file must be named in the notice with a licence whose text the notice carries, and the
// whole must stay small.
TEST(BundledSampleTest, EveryFileIsNamedInTheNoticeAndTheSampleStaysSmall) {
  const auto files = testing::interfaceBuilderFilesIn(KORVASTER_BUNDLED_CORPUS_DIR);
  ASSERT_FALSE(files.empty()) << KORVASTER_BUNDLED_CORPUS_DIR;
  const std::string notice = readFile(std::string(KORVASTER_BUNDLED_CORPUS_DIR) + "/NOTICE.md"), licence = "\n- Licence: ";
  std::uintmax_t total = 0;
  for (const auto& path : files) {
    const std::size_t entry = notice.find("\n### `" + std::filesystem::path(path).filename().string() + "`\n");
    ASSERT_NE(entry, std::string::npos) << path << " is not named in NOTICE.md";
    const std::size_t start = notice.find(licence, entry) + licence.size();
    ASSERT_GT(start, entry) << path;
    EXPECT_NE(notice.find("\n### " + notice.substr(start, notice.find('\n', start) - start) + "\n"), std::string::npos)
        << path << ": no licence text";
    total += std::filesystem::file_size(path);
  }
  std::size_t entries = 0;
  for (auto at = notice.find("\n### `"); at != std::string::npos; at = notice.find("\n### `", at + 1)) ++entries;
  EXPECT_EQ(entries, files.size()) << "NOTICE.md names files that are not in the sample";
  EXPECT_LE(total, 2u * 1024 * 1024);
}

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
