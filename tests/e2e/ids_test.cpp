// `korvaster ids` on one small project through every format, each read back: the JSON by a
// small parser, the CSV by an RFC 4180 reader, the Swift file by its declarations.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <optional>
#include <sstream>

#include "e2e/child_process.h"

namespace korvaster::testing {
namespace {

// A scene whose controller's outlet comes after the view it names, a label whose text holds a
// comma and a quote, a view with an identifier, and a xib owned by its File's Owner.
const std::string kMain =
    "<document>\n<scenes><scene sceneID=\"s\"><objects>\n"
    "  <viewController id=\"vc\" customClass=\"LoginVC\" sceneMemberID=\"viewController\">\n"
    "    <view key=\"view\" contentMode=\"a\" id=\"r-1\"><subviews>\n"
    "      <button contentMode=\"a\" id=\"Xk3-pQ-9aZ\"><state key=\"normal\" title=\"Go\"/></button>\n"
    "      <label contentMode=\"a\" text=\"Hello, &quot;you&quot;\" id=\"l-1\"/>\n"
    "      <view contentMode=\"a\" userLabel=\"default\" id=\"d-1\"><accessibility key=\"k\" "
    "identifier=\"a&quot;b\\c\"/>"
    "</view>\n"
    "    </subviews></view>\n"
    "    <connections><outlet property=\"loginButton\" destination=\"Xk3-pQ-9aZ\" id=\"o\"/></connections>\n"
    "  </viewController>\n</objects></scene></scenes>\n</document>\n";
const std::string kCell =
    "<document><objects><placeholder placeholderIdentifier=\"IBFilesOwner\" id=\"-1\" "
    "customClass=\"CellOwner\"/>\n"
    "<view contentMode=\"a\" id=\"c-1\"/></objects></document>\n";

struct ViewRow {
  std::string path, line, column, element, id, identifier, hasIdentifier, name, owner, outlets;
  bool operator==(const ViewRow& other) const {
    return std::tie(path, line, column, element, id, identifier, hasIdentifier, name, owner, outlets) ==
           std::tie(other.path, other.line, other.column, other.element, other.id, other.identifier,
                    other.hasIdentifier, other.name, other.owner, other.outlets);
  }
};

const std::vector<ViewRow> kExpected{
    {"App/Cell.xib", "2", "1", "view", "c-1", "c-1", "false", "viewc1", "CellOwner", ""},
    {"App/Main.storyboard", "4", "5", "view", "r-1", "r-1", "false", "viewr1", "LoginVC", ""},
    {"App/Main.storyboard", "5", "7", "button", "Xk3-pQ-9aZ", "Xk3-pQ-9aZ", "false", "loginButton", "LoginVC",
     "loginButton"},
    {"App/Main.storyboard", "6", "7", "label", "l-1", "l-1", "false", "helloYouLabel", "LoginVC", ""},
    {"App/Main.storyboard", "7", "7", "view", "d-1", "a\"b\\c", "true", "default", "LoginVC", ""},
};

// Just enough JSON: objects, arrays, strings with simple escapes, numbers and literals.
struct Json {
  std::string scalar;  // a string's text, or a number or literal as written
  std::vector<Json> items;
  std::map<std::string, Json> members;
  const Json& operator[](const std::string& key) const { return members.at(key); }
};

class JsonReader {
 public:
  explicit JsonReader(const std::string& text) : text_(text) {}
  Json document() {
    Json value = read();
    skipSpace();
    if (at_ != text_.size()) throw std::runtime_error("trailing text");
    return value;
  }

 private:
  void skipSpace() {
    while (at_ < text_.size() && std::isspace(static_cast<unsigned char>(text_[at_]))) ++at_;
  }
  char expect(char c) {
    skipSpace();
    if (at_ >= text_.size() || text_[at_] != c) throw std::runtime_error(std::string("expected ") + c);
    return text_[at_++];
  }
  std::string string() {
    expect('"');
    std::string out;
    while (text_.at(at_) != '"') {
      char c = text_[at_++];
      if (c == '\\') {
        c = text_.at(at_++);
        if (c == 'n')
          c = '\n';
        else if (c != '"' && c != '\\' && c != '/')
          throw std::runtime_error("escape");
      }
      out += c;
    }
    ++at_;
    return out;
  }
  Json read() {
    skipSpace();
    Json value;
    const char c = text_.at(at_);
    if (c == '{' || c == '[') {
      const char close = c == '{' ? '}' : ']';
      ++at_;
      skipSpace();
      if (text_.at(at_) == close) return ++at_, value;
      do {
        if (c == '[') {
          value.items.push_back(read());
        } else {
          std::string key = string();
          expect(':');
          value.members[key] = read();
        }
        skipSpace();
      } while (text_.at(at_++) == ',');
      if (text_[at_ - 1] != close) throw std::runtime_error("unclosed");
    } else if (c == '"') {
      value.scalar = string();
    } else {
      while (at_ < text_.size() && std::string(",]} \n").find(text_[at_]) == std::string::npos)
        value.scalar += text_[at_++];
    }
    return value;
  }

  const std::string& text_;
  std::size_t at_ = 0;
};

// RFC 4180: fields in quotes may hold commas, quotes (doubled) and line breaks; records end in CRLF.
std::vector<std::vector<std::string>> readCsv(const std::string& text) {
  std::vector<std::vector<std::string>> records(1, std::vector<std::string>(1));
  bool quoted = false;
  for (std::size_t at = 0; at < text.size(); ++at) {
    const char c = text[at];
    if (quoted) {
      if (c != '"')
        records.back().back() += c;
      else if (at + 1 < text.size() && text[at + 1] == '"')
        records.back().back() += text[++at];
      else
        quoted = false;
    } else if (c == '"') {
      quoted = true;
    } else if (c == ',') {
      records.back().emplace_back();
    } else if (c == '\r' && at + 1 < text.size() && text[at + 1] == '\n') {
      ++at;
      records.emplace_back(1);
    } else {
      records.back().back() += c;
    }
  }
  records.pop_back();  // after the last CRLF
  return records;
}

// Whether `name` is an ASCII Swift identifier, in backquotes or not.
bool isSwiftName(std::string name) {
  if (name.size() > 2 && name.front() == '`' && name.back() == '`') name = name.substr(1, name.size() - 2);
  const auto letter = [](char c) { return std::isalpha(static_cast<unsigned char>(c)) || c == '_'; };
  if (name.empty() || !letter(name[0])) return false;
  for (const char c : name) {
    if (!letter(c) && !std::isdigit(static_cast<unsigned char>(c))) return false;
  }
  return true;
}

// The rest of `line` after its indentation and `prefix`, when it starts so.
std::optional<std::string> after(const std::string& line, const std::string& prefix) {
  const std::size_t start = line.find_first_not_of(' ');
  if (start == std::string::npos || line.compare(start, prefix.size(), prefix) != 0) return std::nullopt;
  return line.substr(start + prefix.size());
}

// The Swift literal's text: the reverse of its escapes.
std::string unescapedSwift(const std::string& literal) {
  std::string out;
  for (std::size_t at = 1; at + 1 < literal.size(); ++at)
    out += literal[at] == '\\' ? literal[++at] : literal[at];
  return out;
}

using IdsCommandTest = KorvasterTest;

TEST_F(IdsCommandTest, EveryFormatReadsBackToTheSameViewsAndNothingIsWritten) {
  temp.write("App/Main.storyboard", kMain);
  temp.write("App/Cell.xib", kCell);
  temp.write("App/Pods/Lib.xib", kCell);
  const auto ids = [&](const std::string& format) {
    const auto outcome =
        korvaster({"ids", "--path", "App", "--exclude", "Pods/**", "--format", format}, temp.path());
    EXPECT_EQ(outcome.exitStatus, 0) << format;
    EXPECT_EQ(outcome.standardError, "");
    return outcome.standardOutput;
  };

  std::string text;
  for (const auto& row : kExpected)
    text += row.path + ":" + row.line + ":" + row.column + ": " + row.element + " '" + row.identifier + "' " +
            row.name + " (" + row.owner + ")\n";
  EXPECT_EQ(ids("text"), text);

  std::vector<ViewRow> fromJson;
  const Json json = JsonReader(ids("json")).document();
  for (const Json& file : json["files"].items) {
    for (const Json& view : file["views"].items) {
      std::string outlets;
      for (const Json& outlet : view["outlets"].items) outlets += outlet.scalar;
      fromJson.push_back({file["path"].scalar, view["line"].scalar, view["column"].scalar,
                          view["element"].scalar, view["id"].scalar, view["identifier"].scalar,
                          view["hasIdentifier"].scalar, view["name"].scalar, view["owner"].scalar, outlets});
    }
  }
  EXPECT_EQ(fromJson, kExpected);

  const auto records = readCsv(ids("csv"));
  ASSERT_EQ(records.size(), kExpected.size() + 1);
  EXPECT_EQ(records[0], (std::vector<std::string>{"path", "line", "column", "element", "id", "identifier",
                                                  "hasIdentifier", "name", "owner", "outlets", "error"}));
  std::vector<ViewRow> fromCsv;
  for (std::size_t row = 1; row < records.size(); ++row) {
    const auto& r = records[row];
    ASSERT_EQ(r.size(), 11u);
    EXPECT_EQ(r[10], "");
    fromCsv.push_back({r[0], r[1], r[2], r[3], r[4], r[5], r[6], r[7], r[8], r[9]});
  }
  EXPECT_EQ(fromCsv, kExpected);
  EXPECT_NE(ids("csv").find("\"a\"\"b\\c\""), std::string::npos);  // a quote doubled inside quotes
  // A C1 control and a byte that is not UTF-8 in a name are escaped: the CSV stays UTF-8.
  temp.write("Odd/E\xC2\x9b\xff.xib", kCell);
  const auto odd = korvaster({"ids", "--path", "Odd", "--format", "csv"}, temp.path());
  EXPECT_NE(odd.standardOutput.find("E\\x9b\\xff.xib,"), std::string::npos) << odd.standardOutput;

  // The Swift file: its first line, balanced braces, nesting file > owner > constants, and every
  // identifier once under a valid name.
  const std::string swift = ids("swift");
  EXPECT_EQ(swift.rfind("// Generated by `korvaster ids --format swift`", 0), 0u);
  std::istringstream lines(swift);
  std::string line;
  std::vector<std::string> open;
  std::vector<std::pair<std::string, std::string>> constants;  // path of enums and name, identifier
  while (std::getline(lines, line)) {
    if (const auto enumRest = after(line, "enum ")) {
      const std::string name = enumRest->substr(0, enumRest->size() - 2);
      EXPECT_TRUE(isSwiftName(name) && enumRest->compare(name.size(), 2, " {") == 0) << line;
      open.push_back(name);
    } else if (const auto letRest = after(line, "static let ")) {
      ASSERT_EQ(open.size(), 3u) << line;
      const std::size_t equals = letRest->find(" = \"");
      ASSERT_NE(equals, std::string::npos) << line;
      const std::string name = letRest->substr(0, equals), literal = letRest->substr(equals + 3);
      EXPECT_TRUE(isSwiftName(name) && literal.back() == '"') << line;
      constants.emplace_back(open[1] + "." + open[2] + "." + name, unescapedSwift(literal));
    } else if (after(line, "}")) {
      ASSERT_FALSE(open.empty());
      open.pop_back();
    } else {
      EXPECT_TRUE(line.empty() || line.find_first_not_of(' ') == line.find("//")) << line;
    }
  }
  EXPECT_TRUE(open.empty());
  EXPECT_EQ(constants,
            (std::vector<std::pair<std::string, std::string>>{{"Cell.CellOwner.viewc1", "c-1"},
                                                              {"Main.LoginVC.viewr1", "r-1"},
                                                              {"Main.LoginVC.loginButton", "Xk3-pQ-9aZ"},
                                                              {"Main.LoginVC.helloYouLabel", "l-1"},
                                                              {"Main.LoginVC.`default`", "a\"b\\c"}}));
  // Read-only: nothing beside the project, not even the working folder.
  EXPECT_FALSE(std::filesystem::exists(projects));
}

TEST_F(IdsCommandTest, AnUnreadableFileIsListedWithItsErrorAndFailsTheRun) {
  temp.write("App/Broken.xib", "<document>\n<view contentMode=\"a\" id=\"x\">");
  const auto text = korvaster({"ids", "-p", "App"}, temp.path());
  EXPECT_EQ(text.exitStatus, 1);
  EXPECT_EQ(text.standardOutput,
            "App/Broken.xib:2: error: XML syntax error at line 2, column 30: no element found\n");
  const auto json = korvaster({"ids", "-p", "App", "--format=json"}, temp.path());
  const Json files = JsonReader(json.standardOutput).document()["files"];
  ASSERT_EQ(files.items.size(), 1u);
  EXPECT_EQ(files.items[0]["line"].scalar, "2");
  const auto swift = korvaster({"ids", "-p", "App", "--format=swift"}, temp.path());
  EXPECT_NE(swift.standardOutput.find("    // Not read: App/Broken.xib: XML syntax error"),
            std::string::npos);
  EXPECT_EQ(korvaster({"ids", "-p", "App", "--format=xml"}, temp.path()).exitStatus, 1);
}

}  // namespace
}  // namespace korvaster::testing
