// SARIF 2.1.0: one run, the tool as its driver with one rule per kind of result, and one result
// per finding and per unreadable file, located by a URI relative to the current directory.
// An unreadable file is a result of its own rule rather than a notification of the run's
// invocation: code scanning shows results as alerts, and would leave such a file unnoticed.
#include "core/options/command_line_table.h"
#include "core/project_version.h"
#include "core/strategies/check_document_writers.h"
#include "support/json_writer.h"

namespace korvaster {

namespace {

constexpr const char* kSchema =
    "https://docs.oasis-open.org/sarif/sarif/v2.1.0/os/schemas/sarif-schema-2.1.0.json";

// A path as a URI reference: relative paths stay relative, absolute ones become file URIs.
// Every byte but the unreserved characters and "/" is percent-encoded, so that a space, "%",
// "#", "?", a ":" in a first segment or a non-ASCII name cannot change what the URI names.
std::string uriOf(std::string_view path) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string uri = !path.empty() && path.front() == '/' ? "file://" : "";
  for (const char character : path) {
    const auto byte = static_cast<unsigned char>(character);
    const bool unreserved = (byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') ||
                            (byte >= '0' && byte <= '9') || byte == '-' || byte == '.' || byte == '_' ||
                            byte == '~' || byte == '/';
    if (unreserved) {
      uri += character;
    } else {
      uri += '%';
      uri += kHex[byte >> 4];
      uri += kHex[byte & 0x0F];
    }
  }
  return uri;
}

class SarifWriter final : public CheckDocumentWriter {
 public:
  explicit SarifWriter(support::OutputByteStream& output) : output_(output) {
    json_.beginObject().key("$schema").value(kSchema).key("version").value("2.1.0");
    json_.key("runs").beginArray().beginObject().key("tool").beginObject().key("driver").beginObject();
    json_.key("name").value(Constants::CommandInfo::Name).key("version").value(KORVASTER_VERSION);
    json_.key("informationUri").value(Constants::CommandInfo::More).key("rules").beginArray();
    for (const CheckRule& rule : kCheckRules) {
      json_.beginObject().key("id").value(rule.id).key("name").value(rule.name);
      json_.key("shortDescription").beginObject().key("text").value(rule.description).endObject();
      json_.key("defaultConfiguration").beginObject().key("level").value(rule.level).endObject();
      json_.endObject();
    }
    json_.endArray().endObject().endObject().key("results").beginArray();
  }

  void write(const CheckedFile& file) override {
    const std::string uri = uriOf(file.path);
    // Code scanning places every alert on a line: an unreadable file's goes on the line the
    // reader stopped at, else on the first.
    if (file.error) writeResult(kUnreadableRule, *file.error, uri, file.errorLine.value_or(1), 0);
    file.scan.forEachFinding([&](const ViewFinding& finding) {
      writeResult(ruleIndexOf(finding.kind), findingMessage(finding), uri, finding.position.line,
                  finding.position.column);
    });
  }

  void finish(const CheckTotals& totals) override {
    json_.endArray().key("properties").beginObject();
    json_.key("files").value(totals.files).key("views").value(totals.views);
    json_.key("missing").value(totals.missing).key("duplicates").value(totals.duplicates);
    json_.key("unreadable").value(totals.unreadable);
    json_.endObject().endObject().endArray().endObject();
    output_ << json_.takeText();
  }

 private:
  // A column of 0: none known.
  void writeResult(std::size_t rule, const std::string& message, const std::string& uri, unsigned long line,
                   unsigned long column) {
    json_.beginObject().key("ruleId").value(kCheckRules[rule].id).key("ruleIndex").value(rule);
    json_.key("level").value(kCheckRules[rule].level);
    json_.key("message").beginObject().key("text").value(message).endObject();
    json_.key("locations").beginArray().beginObject().key("physicalLocation").beginObject();
    json_.key("artifactLocation").beginObject().key("uri").value(uri).endObject();
    json_.key("region").beginObject().key("startLine").value(static_cast<std::int64_t>(line));
    if (column > 0) json_.key("startColumn").value(static_cast<std::int64_t>(column));
    json_.endObject().endObject().endObject().endArray().endObject();
    if (json_.text().size() >= kDocumentPieceSize) output_ << json_.takeText();
  }

  support::OutputByteStream& output_;
  support::JsonWriter json_;
};

}  // namespace

std::unique_ptr<CheckDocumentWriter> makeSarifWriter(support::OutputByteStream& output) {
  return std::make_unique<SarifWriter>(output);
}

}  // namespace korvaster
