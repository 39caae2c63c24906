// The modify workflow over every real Interface Builder file of the corpus: each well-formed
// file comes out as its tree with the identifier rules applied and nothing else changed but the
// formatting, every view identified once; a file committed with merge-conflict markers is left
// byte for byte as it was.
#include <gtest/gtest.h>

#include <filesystem>

#include "core/filemanager/korvast_file_manager.h"
#include "core/strategies/modify_source_code_strategy.h"
#include "core/xib/accessibility_identifiers.h"
#include "corpus.h"
#include "scoped_environment.h"
#include "temporary_folder.h"
#include "xml/xml_document.h"

namespace korvaster {
namespace {

using testing::readFile;
using xml::XmlElement;

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

// Independently of the rules' code: every view (an element with an id and a contentMode) has
// exactly one accessibility child, and it carries an identifier.
void expectEveryViewIdentified(const XmlElement& element, const std::string& where) {
  if (element.attributes.contains("id") && element.attributes.contains("contentMode")) {
    int identified = 0, accessibility = 0;
    for (const auto& child : element.children()) {
      accessibility += child->name == "accessibility";
      identified += child->name == "accessibility" && child->attributes.contains("identifier");
    }
    EXPECT_EQ(std::pair(accessibility, identified), std::pair(1, 1)) << where << " id=" << *element.attributes.find("id");
  }
  for (const auto& child : element.children()) expectEveryViewIdentified(*child, where);
}

TEST(ModifyCorpusTest, EveryWellFormedFileGetsIdentifiersAndNothingElseChanges) {
  testing::TemporaryFolder temp;
  const testing::ScopedEnvironment home("HOME", temp.makeFolder("home").c_str());
  // The corpus, spread over nested folders by repository, with one file that is not IB.
  std::vector<std::pair<std::string, std::string>> copied;  // corpus path, project-relative path
  for (const auto& path : testing::loadCorpus()) {
    const std::string name = std::filesystem::path(path).filename().string();
    copied.emplace_back(path, name.substr(0, name.find("__")) + "/Sources/" + name);
    temp.write("Project/" + copied.back().second, readFile(path));
  }
  temp.write("Project/README.md", "readme");

  const auto outcome = ModifySourceCodeStrategy::run(
      {{ArgumentType::projectPath, temp / "Project"}, {ArgumentType::outputPath, temp.makeFolder("out")}},
      KorvastFileManager(nullptr));
  ASSERT_EQ(outcome.result, temp / "out/Project/");
  int malformed = 0;
  for (const auto& [original, relative] : copied) {
    const std::string before = readFile(original), after = readFile(outcome.result + relative);
    std::unique_ptr<xml::XmlDocument> expected;
    try {
      expected = std::make_unique<xml::XmlDocument>(std::string_view(before));
    } catch (const support::Error&) {
      ++malformed;
      EXPECT_TRUE(testing::hasConflictMarker(before)) << relative << " failed to read";
      EXPECT_EQ(after, before) << relative;
      continue;
    }
    transformIdToAccessibility(*expected->root());
    const xml::XmlDocument written{std::string_view(after)};
    expectSameTree(*expected->root(), *written.root(), relative);
    expectEveryViewIdentified(*written.root(), relative);
  }
  EXPECT_GT(malformed, 0) << "no malformed file in the corpus, so the failure path went untested";
  EXPECT_EQ(readFile(outcome.result + "README.md"), "readme");
}

}  // namespace
}  // namespace korvaster
