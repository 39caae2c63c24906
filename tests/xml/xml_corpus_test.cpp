// Every well-formed Interface Builder file of the corpus survives a read, a write and a
// re-read unchanged, and from the second rewrite on the text is stable.
#include <dirent.h>
#include <gtest/gtest.h>

#include "temporary_folder.h"
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

TEST(XmlCorpusTest, EveryWellFormedFileRoundTrips) {
  const auto paths = filesIn(KORVASTER_CORPUS_DIR);
  ASSERT_GT(paths.size(), 300u) << "corpus not found at " << KORVASTER_CORPUS_DIR;
  int malformed = 0;
  for (const auto& path : paths) {
    const std::string original = readFile(path);
    std::unique_ptr<XmlDocument> first;
    try {
      first = std::make_unique<XmlDocument>(std::string_view(original));
    } catch (const XmlSyntaxError&) {
      ++malformed;
      continue;
    }
    const std::string once = first->xml();
    const XmlDocument second{std::string_view(once)};
    expectSameTree(*first->root(), *second.root(), path);
    const std::string twice = second.xml();
    const std::string thrice = XmlDocument(std::string_view(twice)).xml();
    ASSERT_EQ(twice, thrice) << path;
  }
  EXPECT_EQ(malformed, 1);  // the one committed with merge-conflict markers
}

TEST(XmlFuzzRegressionTest, SavedInputsReadAndRewriteStably) {
  for (const auto& path : filesIn(KORVASTER_FUZZ_REGRESSIONS_DIR)) {
    const std::string input = readFile(path);
    std::string text;
    try {
      text = XmlDocument(std::string_view(input)).xml();
    } catch (const support::Error&) {
      continue;
    }
    const std::string second = XmlDocument(std::string_view(text)).xml();
    EXPECT_EQ(XmlDocument(std::string_view(second)).xml(), second) << path;
  }
}

}  // namespace
}  // namespace korvaster::xml
