// `korvaster check` on a small project: each format once, what the exit status says, and
// that nothing is written; and on a large file, the memory it takes.
#include <gtest/gtest.h>

#include <sys/resource.h>

#include <expat.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>
#include <set>

#include "e2e/child_process.h"

namespace korvaster::testing {
namespace {

// A label without an identifier, and a button that reuses its parent's.
const std::string kMain =
    "<document>\n  <view contentMode=\"scaleToFill\" id=\"v-1\">\n    <accessibility identifier=\"title\"/>\n"
    "    <label contentMode=\"left\" id=\"l-1\"/>\n"
    "    <button contentMode=\"center\" id=\"b-1\"><accessibility identifier=\"title\"/></button>\n"
    "  </view>\n</document>\n";

using CheckCommandTest = KorvasterTest;

TEST_F(CheckCommandTest, FindingsComeInEachFormatAndTheStatusSaysWhetherAnyWereFound) {
  temp.write("App/Main.storyboard", kMain);
  temp.write("App/Broken.xib", R"(<document><view contentMode="s" id="x">)");
  temp.write("App/Pods/Lib.xib", R"(<document><view contentMode="s" id="c"><accessibility identifier="c"/></view>)"
                                 "</document>");
  const std::string broken = "XML syntax error at line 1, column 40: no element found";
  const std::string missing = "label 'l-1' has no accessibility identifier";
  const std::string duplicate = "button 'b-1' uses accessibility identifier 'title', already used by 'v-1' at line 2";
  const std::string summary = "Checked 2 Interface Builder files: 3 views, 1 without an accessibility identifier, "
                              "1 duplicate identifier, 1 unreadable.\n";
  // Run from the root, a path outside the current directory is shown from there.
  const std::string shown = temp.path().substr(1) + "/App/";
  const struct {
    std::string format, cwd, output;
  } cases[] = {
      {"text", temp.path(),
       "App/Broken.xib:1: error: " + broken + "\nApp/Main.storyboard:4:5: warning: " + missing +
           "\nApp/Main.storyboard:5:5: warning: " + duplicate + "\n" + summary},
      {"github", "/",
       "::error file=" + shown + "Broken.xib,line=1::" + broken + "\n::warning file=" + shown +
           "Main.storyboard,line=4,col=5::" + missing + "\n::warning file=" + shown +
           "Main.storyboard,line=5,col=5::" + duplicate + "\n" + summary},
      {"json", temp.path(),
       "{\n  \"files\": [\n    {\n      \"path\": \"App/Broken.xib\",\n      \"error\": \"" + broken +
           "\"\n    },\n    {\n      \"path\": \"App/Main.storyboard\",\n      \"views\": 3,\n"
           "      \"missing\": 1,\n      \"duplicates\": 1,\n      \"findings\": [\n        {\n"
           "          \"kind\": \"missingIdentifier\",\n          \"line\": 4,\n          \"column\": 5,\n"
           "          \"element\": \"label\",\n          \"id\": \"l-1\",\n          \"message\": \"" + missing +
           "\"\n        },\n        {\n          \"kind\": \"duplicateIdentifier\",\n          \"line\": 5,\n"
           "          \"column\": 5,\n          \"element\": \"button\",\n          \"id\": \"b-1\",\n"
           "          \"identifier\": \"title\",\n          \"firstId\": \"v-1\",\n          \"firstLine\": 2,\n"
           "          \"message\": \"" + duplicate + "\"\n        }\n      ]\n    }\n  ],\n  \"summary\": {\n"
           "    \"files\": 2,\n    \"views\": 3,\n    \"missing\": 1,\n    \"duplicates\": 1,\n"
           "    \"unreadable\": 1\n  }\n}\n"},
  };
  for (const auto& c : cases) {
    const std::string path = c.cwd == "/" ? temp / "App" : "App";
    const auto outcome = korvaster({"check", "--path", path, "--exclude", "Pods/**", "--format=" + c.format}, c.cwd);
    EXPECT_EQ(outcome.exitStatus, 1);
    EXPECT_EQ(outcome.standardOutput, c.output);
    EXPECT_EQ(outcome.standardError, "");
  }
  // Nothing left to find: status 0. Nothing was written, not even the working folder.
  const auto clean = korvaster({"check", "-p", temp / "App/Pods"});
  EXPECT_EQ(clean.exitStatus, 0);
  EXPECT_EQ(clean.standardOutput, "Checked 1 Interface Builder file: 1 view, 0 without an accessibility identifier, "
                                  "0 duplicate identifiers, 0 unreadable.\n");
  EXPECT_TRUE(std::filesystem::is_empty(temp / "home"));
  EXPECT_EQ(readFile(temp / "App/Main.storyboard"), kMain);
  EXPECT_EQ(entryNames(temp / "App"), (std::vector<std::string>{"Broken.xib", "Main.storyboard", "Pods"}));
}

// An element of a report read back with expat, in document order.
struct ReadElement {
  std::string name;
  std::map<std::string, std::string> attributes;
  std::string text;
};

std::vector<ReadElement> readXml(const std::string& document) {
  struct Reader {
    std::vector<ReadElement> elements;
    std::vector<std::size_t> open;
  } reader;
  const std::unique_ptr<XML_ParserStruct, void (*)(XML_Parser)> parser(XML_ParserCreate("UTF-8"), XML_ParserFree);
  XML_SetUserData(parser.get(), &reader);
  XML_SetElementHandler(
      parser.get(),
      [](void* data, const XML_Char* name, const XML_Char** attributes) {
        auto& into = *static_cast<Reader*>(data);
        into.open.push_back(into.elements.size());
        ReadElement& element = into.elements.emplace_back();
        element.name = name;
        for (; *attributes != nullptr; attributes += 2) element.attributes[attributes[0]] = attributes[1];
      },
      [](void* data, const XML_Char*) { static_cast<Reader*>(data)->open.pop_back(); });
  XML_SetCharacterDataHandler(parser.get(), [](void* data, const XML_Char* text, int length) {
    auto& into = *static_cast<Reader*>(data);
    into.elements[into.open.back()].text.append(text, static_cast<std::size_t>(length));
  });
  EXPECT_EQ(XML_Parse(parser.get(), document.data(), static_cast<int>(document.size()), XML_TRUE), XML_STATUS_OK)
      << XML_ErrorString(XML_GetErrorCode(parser.get())) << " at line " << XML_GetCurrentLineNumber(parser.get());
  return reader.elements;
}

std::string percentDecoded(const std::string& uri) {
  std::string decoded;
  for (std::size_t at = 0; at < uri.size(); ++at) {
    if (uri[at] != '%') {
      decoded += uri[at];
    } else {
      decoded += static_cast<char>(std::stoi(uri.substr(at + 1, 2), nullptr, 16));
      at += 2;
    }
  }
  return decoded;
}

// Findings as "path:line:column: message", unreadable files as "path: error", as each format
// gives them; each format must give JSON's, with every text read back as it was.
struct Results {
  std::multiset<std::string> findings, errors;
  std::optional<std::size_t> views;  // when the format tells
};

std::string findingOf(const std::string& path, const std::string& line, const std::string& column,
                      const std::string& message) {
  return path + ":" + line + ":" + column + ": " + message;
}

Results jsonResults(const std::string& document) {
  Results results;
  const auto parsed = nlohmann::json::parse(document);
  for (const auto& file : parsed.at("files")) {
    const std::string path = file.at("path");
    if (file.contains("error")) {
      results.errors.insert(path + ": " + file.at("error").get<std::string>());
      continue;
    }
    results.views = results.views.value_or(0) + file.at("views").get<std::size_t>();
    for (const auto& finding : file.at("findings")) {
      results.findings.insert(findingOf(path, finding.at("line").dump(), finding.at("column").dump(),
                                        finding.at("message")));
    }
  }
  return results;
}

Results sarifResults(const std::string& document) {
  const auto sarif = nlohmann::json::parse(document);
  EXPECT_EQ(sarif.at("version"), "2.1.0");
  EXPECT_NE(sarif.at("$schema").get<std::string>().find("sarif-schema-2.1.0.json"), std::string::npos);
  EXPECT_EQ(sarif.at("runs").size(), 1u);
  const auto& run = sarif.at("runs").at(0);
  std::set<std::string> ruleIds;
  for (const auto& rule : run.at("tool").at("driver").at("rules")) ruleIds.insert(rule.at("id"));
  EXPECT_EQ(ruleIds.size(), run.at("tool").at("driver").at("rules").size()) << "rule ids repeat";
  Results results;
  results.views = run.at("properties").at("views").get<std::size_t>();
  for (const auto& result : run.at("results")) {
    const std::string rule = result.at("ruleId");
    EXPECT_EQ(ruleIds.count(rule), 1u) << rule;
    const auto& location = result.at("locations").at(0).at("physicalLocation");
    const std::string path = percentDecoded(location.at("artifactLocation").at("uri"));
    const std::string message = result.at("message").at("text");
    EXPECT_EQ(result.at("level"), rule == "unreadableFile" ? "error" : "warning");
    if (rule == "unreadableFile") {
      results.errors.insert(path + ": " + message);
    } else {
      results.findings.insert(findingOf(path, location.at("region").at("startLine").dump(),
                                        location.at("region").at("startColumn").dump(), message));
    }
  }
  return results;
}

Results junitResults(const std::string& document) {
  const auto elements = readXml(document);
  EXPECT_EQ(elements.at(0).name, "testsuites");
  Results results;
  std::string suite;
  std::size_t tests = 0, failures = 0, errors = 0, testCases = 0;
  for (const auto& element : elements) {
    if (element.name == "testsuite") {
      suite = element.attributes.at("name");
      tests += std::stoul(element.attributes.at("tests"));
      failures += std::stoul(element.attributes.at("failures"));
      errors += std::stoul(element.attributes.at("errors"));
    }
    // A failure's text is the finding as text output gives it.
    if (element.name == "failure") results.findings.insert(element.text);
    if (element.name == "error") results.errors.insert(suite + ": " + element.attributes.at("message"));
    if (element.name == "testcase") ++testCases;
  }
  results.views = testCases - results.errors.size();  // each unreadable file has a test case of its own
  EXPECT_EQ(tests, testCases);
  EXPECT_EQ(failures, results.findings.size());
  EXPECT_EQ(errors, results.errors.size());
  return results;
}

Results checkstyleResults(const std::string& document) {
  const auto elements = readXml(document);
  EXPECT_EQ(elements.at(0).name, "checkstyle");
  Results results;
  std::string file;
  for (const auto& element : elements) {
    if (element.name == "file") file = element.attributes.at("name");
    if (element.name != "error") continue;
    const auto& attributes = element.attributes;
    if (attributes.at("severity") == "error") {
      results.errors.insert(file + ": " + attributes.at("message"));
    } else {
      results.findings.insert(findingOf(file, attributes.at("line"), attributes.at("column"), attributes.at("message")));
    }
  }
  return results;
}

// An id with every character XML escapes, in a folder whose name a URI must encode.
TEST_F(CheckCommandTest, EachDocumentFormatCarriesTheFindingsOfJsonAndReadsBack) {
  const std::string folder = "App/Sub dir \xc3\xa9 100%/";
  temp.write(folder + "Main.storyboard", kMain);
  temp.write(folder + "Odd.xib", "<document>\n  <view contentMode=\"s\" id=\"a&amp;&lt;&gt;&quot;&apos;b\"/>\n</document>\n");
  temp.write("App/Broken.xib", R"(<document><view contentMode="s" id="x">)");
  const auto run = [&](const std::string& format) {
    const auto outcome = korvaster({"check", "--path", "App", "--format", format}, temp.path());
    EXPECT_EQ(outcome.exitStatus, 1) << format;
    EXPECT_EQ(outcome.standardError, "") << format;
    return outcome.standardOutput;
  };
  const Results json = jsonResults(run("json"));
  ASSERT_EQ(json.findings.size(), 3u);
  ASSERT_EQ(json.errors.size(), 1u);
  EXPECT_EQ(json.findings.count(folder + "Odd.xib:2:3: view 'a&<>\"'b' has no accessibility identifier"), 1u);
  const struct {
    const char* format;
    Results (*read)(const std::string&);
  } formats[] = {{"sarif", sarifResults}, {"junit", junitResults}, {"checkstyle", checkstyleResults}};
  for (const auto& format : formats) {
    const Results read = format.read(run(format.format));
    EXPECT_EQ(read.findings, json.findings) << format.format;
    EXPECT_EQ(read.errors, json.errors) << format.format;
    if (read.views) {
      EXPECT_EQ(read.views, json.views) << format.format;
    }
  }

  const std::string sarif = run("sarif");
  EXPECT_NE(sarif.find("\"uri\": \"App/Sub%20dir%20%C3%A9%20100%25/Odd.xib\""), std::string::npos) << sarif;
  const auto driver = nlohmann::json::parse(sarif).at("runs").at(0).at("tool").at("driver");
  EXPECT_EQ(korvaster({"--version"}).standardOutput, "korvaster \xe2\x80\x94 " + driver.at("version").get<std::string>() + "\n");
}

// Findings are written as each file is done, and a scan keeps only what they show: however many
// a file has, the run needs about twice the file's size (its contents and its findings). Holding
// every finding first took six times the file in text and fourteen in JSON.
TEST_F(CheckCommandTest, PeakMemoryStaysNearTwiceTheFileHoweverManyFindingsItHas) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the sanitizers' own memory would swamp the measure";
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
  GTEST_SKIP() << "the sanitizers' own memory would swamp the measure";
#endif
#endif
  // Every other view lacks an identifier, the rest all repeat one. Written as it is made: a
  // child starts with its parent's resident memory counted in its peak, so the test keeps little.
  {
    std::ofstream file(temp.makeFolder("Big") + "Big.xib", std::ios::binary);
    file << "<document>\n";
    for (int view = 0; view < 160000; ++view) {
      file << "<view contentMode=\"s\" id=\"" << 1000000 + view
           << (view % 2 == 0 ? "\"/>\n" : "\"><accessibility identifier=\"t\"/></view>\n");
    }
    file << "</document>\n";
  }
  const auto fileKilobytes = static_cast<long>(std::filesystem::file_size(temp / "Big/Big.xib") / 1024);
  struct rusage own {};
  ASSERT_EQ(::getrusage(RUSAGE_SELF, &own), 0);
#if defined(__APPLE__)
  const long ownKilobytes = own.ru_maxrss / 1024;
#else
  const long ownKilobytes = own.ru_maxrss;
#endif
  ASSERT_LT(ownKilobytes, 2 * fileKilobytes) << "the test itself holds too much for the measure to mean much";
  for (const char* format : {"text", "json", "sarif", "junit", "checkstyle"}) {
    // The output goes to a full device: the findings are made and written all the same, and the
    // test need not read them back into its own memory.
    const auto outcome = finishChild(start({"check", "--path", temp / "Big", "--format", format}, {}, "",
                                           StandardOutput::fullDevice));
    EXPECT_EQ(outcome.exitStatus, 1) << format;
    EXPECT_LT(outcome.peakResidentKilobytes, 4 * fileKilobytes)
        << format << ": " << outcome.peakResidentKilobytes << " KiB at the peak for a file of "
        << fileKilobytes << " KiB";
  }
}

}  // namespace
}  // namespace korvaster::testing
