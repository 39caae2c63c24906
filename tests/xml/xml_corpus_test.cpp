// Every well-formed Interface Builder file of the corpus survives a read, a write and a
// re-read unchanged, and from the second rewrite on the text is stable; the only files that fail
// to read are those committed with merge-conflict markers.
#include <dirent.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

#include "corpus.h"
#include "temporary_folder.h"
#include "xml/same_tree.h"
#include "xml/xml_document.h"

namespace korvaster::xml {
namespace {

using testing::readFile;

std::vector<std::string> filesIn(const std::string& folder) {
  std::vector<std::string> paths;
  if (DIR* directory = ::opendir(folder.c_str())) {
    while (const dirent* entry = ::readdir(directory)) {
      if (entry->d_name[0] != '.') paths.push_back(folder + "/" + entry->d_name);
    }
    ::closedir(directory);
  }
  std::sort(paths.begin(), paths.end());
  return paths;
}

// Names, attributes, leaf values and children in order; an empty leaf value may come back absent.
void expectSameTree(const XmlElement& left, const XmlElement& right, const std::string& where) {
  ASSERT_EQ(left.name, right.name) << where;
  ASSERT_EQ(left.attributes, right.attributes) << where << "/" << left.name;
  ASSERT_EQ(left.children().size(), right.children().size()) << where << "/" << left.name;
  if (left.children().empty()) {
    ASSERT_EQ(left.value.value_or(""), right.value.value_or("")) << where << "/" << left.name;
  }
  for (std::size_t i = 0; i < left.children().size(); ++i) {
    expectSameTree(*left.children()[i], *right.children()[i], where + "/" + left.name);
  }
}

TEST(XmlCorpusTest, EveryWellFormedFileRoundTripsAndOnlyConflictedFilesFailToRead) {
  const auto corpus = testing::loadCorpus();
  ASSERT_FALSE(corpus.files.empty()) << "no Interface Builder files in " << corpus.folder;
  int malformed = 0;
  for (const auto& path : corpus.files) {
    const std::string original = readFile(path);
    const auto conflictLine = testing::firstConflictMarkerLine(original);
    std::unique_ptr<XmlDocument> first;
    try {
      first = std::make_unique<XmlDocument>(std::string_view(original));
    } catch (const XmlSyntaxError& error) {
      ++malformed;
      ASSERT_TRUE(conflictLine) << path << ": " << error.description();
      EXPECT_EQ(error.line(), *conflictLine) << path << ": " << error.description();
      continue;
    }
    ASSERT_FALSE(conflictLine) << path << " has a merge-conflict marker at line " << *conflictLine
                               << " but was read";
    const std::string once = first->xml();
    const XmlDocument second{std::string_view(once)};
    expectSameTree(*first->root(), *second.root(), path);
    const std::string twice = second.xml();
    const std::string thrice = XmlDocument(std::string_view(twice)).xml();
    ASSERT_EQ(twice, thrice) << path;
  }
  EXPECT_GT(malformed, 0) << "no malformed file in " << corpus.folder
                          << ", so the failure path went untested";
}

// The sample ships with the sources: each file must be named in its notice with a licence whose
// text the notice carries, and the whole must stay small.
TEST(XmlCorpusTest, BundledSampleIsNamedInItsNoticeAndStaysSmall) {
  const auto files = testing::interfaceBuilderFilesIn(KORVASTER_BUNDLED_CORPUS_DIR);
  ASSERT_FALSE(files.empty()) << KORVASTER_BUNDLED_CORPUS_DIR;
  const std::string notice = readFile(std::string(KORVASTER_BUNDLED_CORPUS_DIR) + "/NOTICE.md");
  std::uintmax_t total = 0;
  for (const auto& path : files) {
    const std::string name = std::filesystem::path(path).filename().string();
    const std::size_t entry = notice.find("\n### `" + name + "`\n");
    ASSERT_NE(entry, std::string::npos) << name << " is not named in NOTICE.md";
    const std::size_t licence = notice.find("\n- Licence: ", entry);
    ASSERT_NE(licence, std::string::npos) << name;
    const std::size_t start = licence + std::string("\n- Licence: ").size();
    const std::string kind = notice.substr(start, notice.find('\n', start) - start);
    EXPECT_NE(notice.find("\n### " + kind + "\n"), std::string::npos) << name << ": no text for " << kind;
    total += std::filesystem::file_size(path);
  }
  std::size_t entries = 0;
  for (std::size_t at = notice.find("\n### `"); at != std::string::npos;
       at = notice.find("\n### `", at + 1)) {
    ++entries;
  }
  EXPECT_EQ(entries, files.size()) << "NOTICE.md names files that are not in the sample";
  EXPECT_LE(total, 2u * 1024 * 1024);
}

// The fuzz target's check, replayed on the inputs kept for it.
TEST(XmlFuzzRegressionTest, SavedInputsRewriteIntoTheSameTree) {
  const auto paths = filesIn(KORVASTER_FUZZ_REGRESSIONS_DIR);
  ASSERT_FALSE(paths.empty()) << "no saved inputs in " << KORVASTER_FUZZ_REGRESSIONS_DIR;
  XmlOptions exact;
  exact.parserSettings.shouldTrimWhitespace = false;
  for (const auto& path : paths) {
    const std::string input = readFile(path);
    std::optional<XmlDocument> read;
    try {
      read.emplace(std::string_view(input), exact);
    } catch (const support::Error&) {
      continue;
    }
    const std::string first = read->xml();
    const XmlDocument reread(std::string_view(first), exact);
    EXPECT_TRUE(sameTree(*read->root(), *reread.root())) << path;
    EXPECT_EQ(reread.xml(), first) << path;
  }
}

}  // namespace
}  // namespace korvaster::xml
