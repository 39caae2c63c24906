// `korvaster check` on a small project: each format once, each document format read back with the
// findings of JSON, what the exit status says, and that nothing is written; and on a large file,
// the memory it takes.
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

// An element of an XML report as expat read it, in document order.
struct ReadElement {
  std::string name, text;
  std::map<std::string, std::string> attributes;
};

std::vector<ReadElement> readXml(const std::string& document) {
  std::pair<std::vector<ReadElement>, std::vector<std::size_t>> read;  // the elements, the open ones
  using Read = decltype(read);
  const std::unique_ptr<XML_ParserStruct, void (*)(XML_Parser)> parser(XML_ParserCreate("UTF-8"), XML_ParserFree);
  XML_SetUserData(parser.get(), &read);
  XML_SetElementHandler(
      parser.get(),
      [](void* data, const XML_Char* name, const XML_Char** attributes) {
        auto& [elements, open] = *static_cast<Read*>(data);
        open.push_back(elements.size());
        elements.push_back({name, "", {}});
        for (; *attributes != nullptr; attributes += 2) elements.back().attributes[attributes[0]] = attributes[1];
      },
      [](void* data, const XML_Char*) { static_cast<Read*>(data)->second.pop_back(); });
  XML_SetCharacterDataHandler(parser.get(), [](void* data, const XML_Char* text, int length) {
    auto& [elements, open] = *static_cast<Read*>(data);
    elements[open.back()].text.append(text, static_cast<std::size_t>(length));
  });
  EXPECT_EQ(XML_Parse(parser.get(), document.data(), static_cast<int>(document.size()), XML_TRUE), XML_STATUS_OK)
      << XML_ErrorString(XML_GetErrorCode(parser.get())) << " at line " << XML_GetCurrentLineNumber(parser.get());
  return read.first;
}

// Findings as "path:line:column: message" and unreadable files as "path: error", as a format
// gives them: each format must give JSON's, every text read back as it was written.
struct Results {
  std::multiset<std::string> findings, errors;
};

Results jsonResults(const std::string& document) {
  Results results;
  const auto json = nlohmann::json::parse(document);
  for (const auto& file : json.at("files")) {
    const std::string path = file.at("path");
    if (file.contains("error")) results.errors.insert(path + ": " + file.at("error").get<std::string>());
    for (const auto& finding : file.value("findings", nlohmann::json::array())) {
      results.findings.insert(path + ":" + finding.at("line").dump() + ":" + finding.at("column").dump() + ": " +
                              finding.at("message").get<std::string>());
    }
  }
  return results;
}

Results sarifResults(const std::string& document) {
  const auto sarif = nlohmann::json::parse(document);
  EXPECT_EQ(sarif.at("version"), "2.1.0");
  EXPECT_NE(sarif.at("$schema").get<std::string>().find("sarif-schema-2.1.0.json"), std::string::npos);
  EXPECT_EQ(sarif.at("runs").size(), 1u);
  std::set<std::string> ruleIds;
  for (const auto& rule : sarif.at("runs").at(0).at("tool").at("driver").at("rules")) ruleIds.insert(rule.at("id"));
  Results results;
  for (const auto& result : sarif.at("runs").at(0).at("results")) {
    const std::string rule = result.at("ruleId");
    EXPECT_EQ(ruleIds.count(rule), 1u) << rule;
    EXPECT_EQ(result.at("level"), rule == "unreadableFile" ? "error" : "warning");
    const auto& location = result.at("locations").at(0).at("physicalLocation");
    std::string path = location.at("artifactLocation").at("uri");
    for (std::size_t at = path.find('%'); at != std::string::npos; at = path.find('%', at + 1))
      path.replace(at, 3, 1, static_cast<char>(std::stoi(path.substr(at + 1, 2), nullptr, 16)));
    const std::string message = result.at("message").at("text");
    if (rule == "unreadableFile") {
      results.errors.insert(path + ": " + message);
    } else {
      const auto& region = location.at("region");
      results.findings.insert(path + ":" + region.at("startLine").dump() + ":" + region.at("startColumn").dump() +
                              ": " + message);
    }
  }
  return results;
}

// Also checks that the suites' counts add up to their test cases, failures and errors.
Results junitResults(const std::string& document) {
  Results results;
  std::string suite;
  std::size_t counted[3] = {}, found[3] = {};  // tests, failures, errors
  for (const auto& element : readXml(document)) {
    if (element.name == "testsuite") {
      suite = element.attributes.at("name");
      for (std::size_t index = 0; index < 3; ++index)
        counted[index] += std::stoul(element.attributes.at(index == 0 ? "tests" : index == 1 ? "failures" : "errors"));
    }
    if (element.name == "testcase") ++found[0];
    // A failure's text is the finding as text output gives it.
    if (element.name == "failure") {
      ++found[1];
      results.findings.insert(element.text);
    }
    if (element.name == "error") {
      ++found[2];
      results.errors.insert(suite + ": " + element.attributes.at("message"));
    }
  }
  // One test case per view (4) and one per unreadable file.
  EXPECT_EQ(found[0], 5u);
  for (std::size_t index = 0; index < 3; ++index) EXPECT_EQ(counted[index], found[index]) << index;
  return results;
}

Results checkstyleResults(const std::string& document) {
  Results results;
  std::string file;
  for (const auto& element : readXml(document)) {
    const auto& attribute = element.attributes;
    if (element.name == "file") file = attribute.at("name");
    if (element.name != "error") continue;
    if (attribute.at("severity") == "error") {
      results.errors.insert(file + ": " + attribute.at("message"));
    } else {
      results.findings.insert(file + ":" + attribute.at("line") + ":" + attribute.at("column") + ": " +
                              attribute.at("message"));
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
  EXPECT_EQ(json.findings.size(), 3u);
  EXPECT_EQ(json.errors.size(), 1u);
  EXPECT_EQ(json.findings.count(folder + "Odd.xib:2:3: view 'a&<>\"'b' has no accessibility identifier"), 1u);
  const std::pair<const char*, Results (*)(const std::string&)> formats[] = {
      {"sarif", sarifResults}, {"junit", junitResults}, {"checkstyle", checkstyleResults}};
  for (const auto& [format, read] : formats) {
    const Results results = read(run(format));
    EXPECT_EQ(results.findings, json.findings) << format;
    EXPECT_EQ(results.errors, json.errors) << format;
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
