// What `check` writes for given results, in each format: the totals, the singular of a count of
// one, and escapes that keep one finding on one line.
#include "core/strategies/check_output.h"

#include <gtest/gtest.h>

#include <vector>

#include "temporary_folder.h"

namespace korvaster {
namespace {

CheckedFile scanned(const std::string& path, const std::string& document) {
  CheckedFile file;
  file.path = path;
  file.scan = scanIdentifiers(document);
  return file;
}

CheckedFile unreadable(const std::string& path, const std::string& error, std::optional<unsigned long> line) {
  CheckedFile file;
  file.path = path;
  file.error = error;
  file.errorLine = line;
  return file;
}

std::string written(std::vector<CheckedFile> files, CheckFormat format) {
  support::StringOutputStream output;
  CheckResultsWriter writer(format, output);
  for (const auto& file : files) writer.write(file);
  writer.finish();
  return output.text();
}

const std::string kView = R"(<view contentMode="a" id=")";

// Each total has its own number here, so that one counted in another's place shows.
TEST(CheckOutputTest, EachTotalCountsItsOwnKind) {
  const auto files = [] {
    std::vector<CheckedFile> list;
    list.push_back(scanned("A.xib", "<d>\n" + kView + "a1\"/>\n" + kView + "a2\"/>\n" + kView + "a3\"/>\n" +
                                        kView + "a4\"><accessibility identifier=\"t\"/></view>\n  " + kView +
                                        "a5\"><accessibility identifier=\"t\"/></view>\n</d>"));
    list.push_back(unreadable("B.xib", "XML syntax error at line 7, column 1: mismatched tag", 7));
    list.push_back(scanned("C.xib", "<d>\n" + kView + "c1\"/>\n" + kView +
                                        "c2\"><accessibility identifier=\"u\"/></view>\n" + kView +
                                        "c3\"><accessibility identifier=\"u\"/></view>\n</d>"));
    return list;
  };
  EXPECT_EQ(
      written(files(), CheckFormat::text),
      "A.xib:2:1: warning: view 'a1' has no accessibility identifier\n"
      "A.xib:3:1: warning: view 'a2' has no accessibility identifier\n"
      "A.xib:4:1: warning: view 'a3' has no accessibility identifier\n"
      "A.xib:6:3: warning: view 'a5' uses accessibility identifier 't', already used by 'a4' at line 5\n"
      "B.xib:7: error: XML syntax error at line 7, column 1: mismatched tag\n"
      "C.xib:2:1: warning: view 'c1' has no accessibility identifier\n"
      "C.xib:4:1: warning: view 'c3' uses accessibility identifier 'u', already used by 'c2' at line 3\n"
      "Checked 3 Interface Builder files: 8 views, 4 without an accessibility identifier, "
      "2 duplicate identifiers, 1 unreadable.\n");
  const std::string json = written(files(), CheckFormat::json);
  EXPECT_NE(
      json.find("\"path\": \"A.xib\",\n      \"views\": 5,\n      \"missing\": 3,\n      \"duplicates\": 1,"),
      std::string::npos)
      << json;
  EXPECT_TRUE(
      testing::endsWith(json,
                        "  \"summary\": {\n    \"files\": 3,\n    \"views\": 8,\n    \"missing\": 4,\n"
                        "    \"duplicates\": 2,\n    \"unreadable\": 1\n  }\n}\n"))
      << json;
  EXPECT_TRUE(testing::endsWith(written(files(), CheckFormat::github),
                                "\nChecked 3 Interface Builder files: 8 views, 4 without an accessibility "
                                "identifier, 2 duplicate identifiers, 1 unreadable.\n"));
}

TEST(CheckOutputTest, ACountOfOneIsSingularAndAnEmptyRunIsPlural) {
  std::vector<CheckedFile> one;
  one.push_back(scanned("A.xib", "<d>" + kView + R"(a"><accessibility identifier="t"/></view>)" + kView +
                                     R"(b"><accessibility identifier="t"/></view></d>)"));
  EXPECT_TRUE(
      testing::endsWith(written(std::move(one), CheckFormat::text),
                        "\nChecked 1 Interface Builder file: 2 views, 0 without an accessibility identifier, "
                        "1 duplicate identifier, 0 unreadable.\n"));
  std::vector<CheckedFile> oneView;
  oneView.push_back(scanned("A.xib", "<d>" + kView + "a\"/></d>"));
  EXPECT_TRUE(
      testing::endsWith(written(std::move(oneView), CheckFormat::github),
                        "\nChecked 1 Interface Builder file: 1 view, 1 without an accessibility identifier, "
                        "0 duplicate identifiers, 0 unreadable.\n"));
  EXPECT_EQ(written({}, CheckFormat::text),
            "Checked 0 Interface Builder files: 0 views, 0 without an accessibility identifier, "
            "0 duplicate identifiers, 0 unreadable.\n");
  EXPECT_EQ(
      written({}, CheckFormat::json),
      "{\n  \"files\": [],\n  \"summary\": {\n    \"files\": 0,\n    \"views\": 0,\n    \"missing\": 0,\n"
      "    \"duplicates\": 0,\n    \"unreadable\": 0\n  }\n}\n");
}

// A path may hold any byte but "/" and NUL, and an id may hold a line feed or a tab written as
// a character reference: in text and github each control character (C0, C1, DEL) and each
// byte that is not UTF-8 is written as an escape (github keeps its own for line breaks), the
// other formats keep their own escapes.
TEST(CheckOutputTest, ControlCharactersNeverBreakAFindingOverLines) {
  const auto files = [] {
    std::vector<CheckedFile> list;
    list.push_back(scanned("Odd\nName\t.xib", "<d>" + kView + "x&#10;y&#9;z&#13;\"/></d>"));
    list.push_back(unreadable("Esc\x1b[31m\xC2\x9b\xff.xib",
                              std::string("cannot read \"Esc\x1b[31m\x7f\x01.xib\""), {}));
    return list;
  };
  const std::string summary =
      "Checked 2 Interface Builder files: 1 view, 1 without an accessibility identifier, "
      "0 duplicate identifiers, 1 unreadable.\n";
  const struct {
    CheckFormat format;
    std::string output;
  } cases[] = {
      {CheckFormat::text,
       "Odd\\nName\\t.xib:1:4: warning: view 'x\\ny\\tz\\r' has no accessibility identifier\n"
       "Esc\\x1b[31m\\x9b\\xff.xib: error: cannot read \"Esc\\x1b[31m\\x7f\\x01.xib\"\n" +
           summary},
      {CheckFormat::github,
       "::warning file=Odd%0AName\\t.xib,line=1,col=4::view 'x%0Ay\\tz%0D' has no accessibility identifier\n"
       "::error file=Esc\\x1b[31m\\x9b\\xff.xib::cannot read \"Esc\\x1b[31m\\x7f\\x01.xib\"\n" +
           summary},
  };
  for (const auto& c : cases) EXPECT_EQ(written(files(), c.format), c.output);
  const std::string json = written(files(), CheckFormat::json);
  EXPECT_NE(json.find("\"path\": \"Odd\\nName\\t.xib\""), std::string::npos) << json;
  EXPECT_NE(json.find("\"id\": \"x\\ny\\tz\\r\""), std::string::npos) << json;
  EXPECT_NE(json.find("\"error\": \"cannot read \\\"Esc\\u001b[31m\x7f\\u0001.xib\\\"\""), std::string::npos)
      << json;
}

}  // namespace
}  // namespace korvaster
