// The two XML formats: JUnit (a test suite per file, a test case per view, a failure per
// finding, an error per unreadable file) and Checkstyle (a file element per file, an error
// element per finding or unreadable file).
#include "core/project_version.h"
#include "core/strategies/check_document_writers.h"
#include "xml/xml_writer.h"

namespace korvaster {

namespace {

// Opens the document's root and sends what has grown; the subclasses write inside the root.
class XmlCheckDocument : public CheckDocumentWriter {
 public:
  void finish(CheckTotals&) override {
    xml_.close();
    output_ << xml_.takeText();
  }

 protected:
  explicit XmlCheckDocument(support::OutputByteStream& output) : output_(output) {}

  void sendIfGrown() {
    if (xml_.document().size() >= kDocumentPieceSize) output_ << xml_.takeText();
  }

  support::OutputByteStream& output_;
  xml::XmlWriter xml_;
};

std::string viewName(const ScannedView& view) {
  std::string name(view.element);
  name += " '";
  name.append(view.id);
  return name += "'";
}

class JunitWriter final : public XmlCheckDocument {
 public:
  explicit JunitWriter(support::OutputByteStream& output) : XmlCheckDocument(output) {
    // The totals are only known at the end, and the root's start tag goes first: readers sum
    // the suites.
    xml_.open("testsuites").attribute("name", "korvaster check");
  }

  void write(const CheckedFile& file) override {
    const std::size_t failures = file.scan.missing() + file.scan.duplicates();
    xml_.open("testsuite").attribute("name", file.path);
    xml_.attribute("tests", file.scan.views() + (file.error ? 1 : 0)).attribute("failures", failures);
    xml_.attribute("errors", std::size_t{file.error ? 1u : 0u});
    // An error stands in a test case of its own: the file's reading.
    if (file.error) {
      openTestCase("reading", file.path, file.errorLine);
      xml_.open("error").attribute("message", *file.error).attribute("type", kCheckRules[kUnreadableRule].id);
      xml_.close().close();
    }
    file.scan.forEachView([&](const ScannedView& view) {
      openTestCase(viewName(view), file.path, view.position.line);
      if (view.finding) {
        const std::string message = findingMessage(*view.finding);
        xml_.open("failure")
            .attribute("message", message)
            .attribute("type", findingKindName(view.finding->kind));
        xml_.text(file.path + ":" + std::to_string(view.position.line) + ":" +
                  std::to_string(view.position.column) + ": " + message);
        xml_.close();
      }
      xml_.close();
      sendIfGrown();
    });
    xml_.close();
    sendIfGrown();
  }

 private:
  void openTestCase(const std::string& name, const std::string& path, std::optional<unsigned long> line) {
    xml_.open("testcase").attribute("name", name).attribute("classname", path).attribute("file", path);
    if (line) xml_.attribute("line", std::size_t{*line});
  }
};

class CheckstyleWriter final : public XmlCheckDocument {
 public:
  explicit CheckstyleWriter(support::OutputByteStream& output) : XmlCheckDocument(output) {
    xml_.open("checkstyle").attribute("version", KORVASTER_VERSION);
  }

  void write(const CheckedFile& file) override {
    xml_.open("file").attribute("name", file.path);
    // The line is required: an unreadable file's error stands on its first line when the
    // reader named none.
    if (file.error) writeError(file.errorLine.value_or(1), 0, kUnreadableRule, *file.error);
    file.scan.forEachFinding([&](const ViewFinding& finding) {
      writeError(finding.position.line, finding.position.column, ruleIndexOf(finding.kind),
                 findingMessage(finding));
    });
    xml_.close();
    sendIfGrown();
  }

 private:
  // A column of 0: none known.
  void writeError(unsigned long line, unsigned long column, std::size_t rule, const std::string& message) {
    xml_.open("error").attribute("line", std::size_t{line});
    if (column > 0) xml_.attribute("column", std::size_t{column});
    xml_.attribute("severity", kCheckRules[rule].level).attribute("message", message);
    xml_.attribute("source", std::string("korvaster.") + kCheckRules[rule].id).close();
    sendIfGrown();
  }
};

}  // namespace

std::unique_ptr<CheckDocumentWriter> makeJunitWriter(support::OutputByteStream& output) {
  return std::make_unique<JunitWriter>(output);
}

std::unique_ptr<CheckDocumentWriter> makeCheckstyleWriter(support::OutputByteStream& output) {
  return std::make_unique<CheckstyleWriter>(output);
}

}  // namespace korvaster
