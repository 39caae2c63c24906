// The stream rewriter's text: one element per line, tab indentation, escaped values; and where
// it refuses its input, the error says where.
#include "xml/xml_stream_rewriter.h"

#include <gtest/gtest.h>

#include <optional>

#include "golden.h"
#include "temporary_folder.h"
#include "xml/rewritten_text.h"

namespace korvaster::xml {
namespace {

const std::string kDeclaration = "<?xml version=\"1.0\" encoding=\"utf-8\" standalone=\"no\"?>\n";

// Each document under tests/data/xml, its file name saying what it shows, and each input the
// fuzz target found, against the approved texts: one element per line, tab indentation, escaped
// values, decoded from every encoding expat reads; or the error, which says where. The fuzz
// target's check holds for each.
TEST(XmlStreamRewriterTest, EachDocumentIsWrittenAsApprovedWhateverTheBlockSizeAndReadsBackUnchanged) {
  std::string written;
  for (const char* folder : {KORVASTER_GOLDEN_DIR "/../xml", KORVASTER_FUZZ_REGRESSIONS_DIR}) {
    const auto paths = testing::filesIn(folder);
    ASSERT_FALSE(paths.empty()) << "no inputs in " << folder;
    for (const auto& path : paths) {
      EXPECT_EQ(roundTripFault(testing::readFile(path)), std::nullopt) << path;
      written += "== " + std::filesystem::path(path).filename().string() + "\n" + streamed(testing::readFile(path)) + "\n";
    }
  }
  testing::expectApproved("xml-rewriter.txt", written);
  // An external entity is never loaded: either the text fails to read or the entity stays empty.
  const std::string external = "<!DOCTYPE a [<!ENTITY ext SYSTEM \"/etc/passwd\">]><a>&ext;</a>";
  EXPECT_EQ(streamed(external).find("root"), std::string::npos);
}

// Nesting beyond the limit fails where the element too deep starts, an entity bomb fails, a
// writer that refuses a block stops the rewrite, and nesting without a limit is no recursion.
TEST(XmlStreamRewriterTest, NestingBeyondTheLimitOrAnEntityBombFailsARefusedBlockStopsTheRewriteAndNoneRecurses) {
  std::string deep;
  for (int level = 0; level < 5; ++level) deep = "<a>" + deep + "</a>";
  EXPECT_EQ(streamed(deep, nullptr, 4), "XML syntax error at line 1, column 13: elements nested deeper than 4 levels");
  EXPECT_EQ(streamed(deep, nullptr, 5).rfind(kDeclaration, 0), 0u);
  // An entity bomb is refused; the words are expat's own, which differ between its versions.
  std::string bomb = "<?xml version=\"1.0\"?><!DOCTYPE a [<!ENTITY e0 \"lollollollollollollollollollol\">";
  for (int level = 1; level < 10; ++level) {
    bomb += "<!ENTITY e" + std::to_string(level) + " \"";
    for (int copy = 0; copy < 10; ++copy) bomb += "&e" + std::to_string(level - 1) + ";";
    bomb += "\">";
  }
  EXPECT_EQ(streamed(bomb + "]><a>&e9;</a>").rfind("XML syntax error", 0), 0u);
  int blocks = 0;
  XmlStreamRewriter refusing(nullptr, [&blocks](std::string_view) { return ++blocks, false; }, 0, 8);
  EXPECT_FALSE(refusing.rewrite("<r><a/><b/><c/><d/><e/></r>"));
  EXPECT_EQ(blocks, 1);
  // Without a limit, deep nesting is written without recursion.
  std::string nested;
  for (int i = 0; i < 5000; ++i) nested += "<d>";
  for (int i = 0; i < 5000; ++i) nested += "</d>";
  // Declaration line; 4999 squared tabs; "<d>", "\n", "</d>" and a line feed per inner level; "<d />".
  EXPECT_EQ(streamed(nested).size(), 55u + 4999u * 4999u + 4999u * 9u + 5u);
}

}  // namespace
}  // namespace korvaster::xml
