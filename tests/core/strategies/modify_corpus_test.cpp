// The modify workflow over every real Interface Builder file of the corpus: each well-formed
// file is rewritten, every view ends up with exactly one identified accessibility child, and
// nothing else in the tree changes apart from formatting; a file committed with merge-conflict
// markers is left byte for byte as it was.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>

#include "core/filemanager/korvast_file_manager.h"
#include "core/strategies/modify_source_code_strategy.h"
#include "corpus.h"
#include "scoped_environment.h"
#include "temporary_folder.h"
#include "xml/xml_document.h"

namespace korvaster {
namespace {

using testing::readFile;
using testing::TemporaryFolder;
using xml::XmlElement;

bool isView(const XmlElement& element) {
  return element.attributes.contains("id") && element.attributes.contains("contentMode");
}

// `after` must be `before` plus identifiers: an "identifier" added to an accessibility element,
// or one new accessibility element appended to a view that had none.
void expectOnlyIdentifiersAdded(const XmlElement& before, const XmlElement& after, const std::string& where) {
  ASSERT_EQ(before.name, after.name) << where;
  xml::XmlAttributes expected = before.attributes;
  if (before.name == "accessibility" && !before.attributes.contains("identifier") &&
      after.attributes.contains("identifier")) {
    expected.set("identifier", *after.attributes.find("identifier"));
  }
  ASSERT_EQ(expected, after.attributes) << where;
  std::size_t count = before.children().size();
  if (after.children().size() == count + 1) {
    const XmlElement& added = *after.children().back();
    ASSERT_TRUE(isView(before)) << where;
    ASSERT_EQ(added.name, "accessibility") << where;
    ASSERT_EQ(added.attributes, (xml::XmlAttributes{{"key", "accessibilityConfiguration"},
                                                    {"identifier", *before.attributes.find("id")}}))
        << where;
  } else {
    ASSERT_EQ(after.children().size(), count) << where;
  }
  if (before.children().empty() && after.children().empty()) {
    ASSERT_EQ(before.value.value_or(""), after.value.value_or("")) << where;
  }
  for (std::size_t i = 0; i < count; ++i) {
    expectOnlyIdentifiersAdded(*before.children()[i], *after.children()[i], where + "/" + before.name);
  }
}

void expectEveryViewIdentified(const XmlElement& element, const std::string& where) {
  if (isView(element)) {
    int accessibilityChildren = 0;
    for (const auto& child : element.children()) {
      if (child->name == "accessibility") {
        ++accessibilityChildren;
        EXPECT_TRUE(child->attributes.contains("identifier")) << where;
      }
    }
    EXPECT_EQ(accessibilityChildren, 1) << where << " id=" << *element.attributes.find("id");
  }
  for (const auto& child : element.children()) expectEveryViewIdentified(*child, where);
}

TEST(ModifyCorpusTest, EveryWellFormedFileGetsIdentifiersAndNothingElseChanges) {
  TemporaryFolder temp;
  const testing::ScopedEnvironment home("HOME", temp.makeFolder("home").c_str());

  // The corpus, spread over nested folders by repository, with one file that is not IB.
  const auto corpus = testing::loadCorpus();
  ASSERT_FALSE(corpus.files.empty()) << "no Interface Builder files in " << corpus.folder;
  std::vector<std::pair<std::string, std::string>> copied;  // corpus path, project-relative path
  for (const auto& path : corpus.files) {
    const std::string name = std::filesystem::path(path).filename().string();
    const std::string relative = name.substr(0, name.find("__")) + "/Sources/" + name;
    temp.write("Project/" + relative, readFile(path));
    copied.emplace_back(path, relative);
  }
  temp.write("Project/README.md", "readme");

  const KorvastFileManager service(nullptr);
  const auto outcome = ModifySourceCodeStrategy::run(
      {{ArgumentType::projectPath, temp / "Project"}, {ArgumentType::outputPath, temp.makeFolder("out")}},
      service);
  EXPECT_EQ(outcome.result, temp / "out/Project/");

  int malformed = 0;
  for (const auto& [original, relative] : copied) {
    const std::string before = readFile(original);
    const std::string after = readFile(outcome.result + relative);
    std::unique_ptr<xml::XmlDocument> beforeTree;
    try {
      beforeTree = std::make_unique<xml::XmlDocument>(std::string_view(before));
    } catch (const support::Error&) {
      ++malformed;
      EXPECT_TRUE(testing::firstConflictMarkerLine(before)) << relative << " failed to read";
      EXPECT_EQ(after, before) << relative;
      continue;
    }
    ASSERT_EQ(after.rfind("<?xml version=\"1.0\" encoding=\"utf-8\" standalone=\"no\"?>\n", 0), 0u)
        << relative;
    const xml::XmlDocument afterTree{std::string_view(after)};
    expectOnlyIdentifiersAdded(*beforeTree->root(), *afterTree.root(), relative);
    expectEveryViewIdentified(*afterTree.root(), relative);
  }
  EXPECT_GT(malformed, 0) << "no malformed file in " << corpus.folder
                          << ", so the failure path went untested";
  EXPECT_EQ(readFile(outcome.result + "README.md"), "readme");
}

}  // namespace
}  // namespace korvaster
