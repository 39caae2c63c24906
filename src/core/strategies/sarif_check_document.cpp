// SARIF 2.1.0 as code scanning reads it: one run, the tool as its driver with one rule per kind
// of result, and one result per finding and per unreadable file, located by a URI relative to
// the current directory, with columns in UTF-16 code units and a fingerprint that does not
// depend on the line.
// An unreadable file is a result of its own rule rather than a notification of the run's
// invocation: code scanning shows results as alerts, and would leave such a file unnoticed.
#include <cctype>
#include <cstdint>
#include <optional>

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

// What tells a result from every other across runs, however lines move: a 64-bit FNV-1a hash
// of the path in the project, the view's id and the rule, as 16 hexadecimal digits.
std::string fingerprintOf(std::string_view path, std::string_view id, std::string_view rule) {
  std::uint64_t hash = 0xcbf29ce484222325ULL;
  for (const std::string_view part : {path, id, rule}) {
    for (const char character : part) hash = (hash ^ static_cast<unsigned char>(character)) * 0x100000001b3ULL;
    // The parts' bounds count too: ("ab", "c") is not ("a", "bc").
    hash = hash * 0x100000001b3ULL;
  }
  static constexpr char kHex[] = "0123456789abcdef";
  std::string digest(16, '0');
  for (std::size_t digit = 16; digit-- > 0; hash >>= 4) digest[digit] = kHex[hash & 0xF];
  return digest;
}

struct SarifResult {
  std::size_t rule = 0;
  std::string message;
  std::string uri;
  unsigned long line = 0;
  unsigned long column = 0;  // in UTF-16 code units; 0: none known
  std::string fingerprint;
};

class SarifWriter final : public CheckDocumentWriter {
 public:
  SarifWriter(support::OutputByteStream& output, std::size_t resultLimit, const CheckRules& rules)
      : output_(output), limit_(resultLimit) {
    json_.beginObject().key("$schema").value(kSchema).key("version").value("2.1.0");
    json_.key("runs").beginArray().beginObject().key("tool").beginObject().key("driver").beginObject();
    json_.key("name").value(Constants::CommandInfo::Name).key("version").value(KORVASTER_VERSION);
    json_.key("informationUri").value(KORVASTER_HOME).key("rules").beginArray();
    // A rule turned off is not listed, so a result's index counts only the rules before it that are.
    for (std::size_t rule = 0, listed = 0; rule < std::size(kCheckRules); ++rule) {
      listedIndex_[rule] = listed;
      if (!rules.reportsRule(rule)) continue;
      writeRule(kCheckRules[rule]);
      ++listed;
    }
    json_.endArray().endObject().endObject();
    json_.key("automationDetails").beginObject().key("id").value("korvaster/check/").endObject();
    json_.key("columnKind").value("utf16CodeUnits").key("results").beginArray();
  }

  void write(const CheckedFile& file) override {
    const std::string uri = uriOf(file.path);
    const std::string& path = file.relativePath.empty() ? file.path : file.relativePath;
    // Code scanning places every alert on a line: an unreadable file's goes on the line the
    // reader stopped at, else on the first.
    if (file.error && takes()) {
      add({kUnreadableRule, *file.error, uri, file.errorLine.value_or(1), 0,
           fingerprintOf(path, {}, kCheckRules[kUnreadableRule].id)});
    }
    file.scan.forEachFinding([&](const ViewFinding& finding) {
      if (!takes()) return;
      const std::size_t rule = ruleIndexOf(finding.kind);
      add({rule, findingMessage(finding), uri, finding.position.line, finding.position.utf16Column,
           fingerprintOf(path, finding.id, kCheckRules[rule].id)});
    });
  }

  void finish(CheckTotals& totals) override {
    if (found_ == limit_) writeResult(*held_);
    if (found_ > limit_) {
      // The first result left out shows where the omission starts.
      totals.leftOut = found_ - (limit_ - 1);
      SarifResult& note = *held_;
      note.message = std::to_string(totals.leftOut) + " more results were left out: a log holds at most " +
                     std::to_string(limit_) + ".";
      note.rule = kOmittedRule;
      note.fingerprint = fingerprintOf({}, {}, kCheckRules[kOmittedRule].id);
      writeResult(note);
    }
    json_.endArray().key("properties").beginObject();
    json_.key("files").value(totals.files).key("views").value(totals.views);
    json_.key("missing").value(totals.missing).key("duplicates").value(totals.duplicates);
    json_.key("unreadable").value(totals.unreadable);
    json_.endObject().endObject().endArray().endObject();
    output_ << json_.takeText();
  }

 private:
  void writeRule(const CheckRule& rule) {
    const std::string helpUri = std::string(KORVASTER_HOME) + "#" + lowercase(rule.id);
    json_.beginObject().key("id").value(rule.id).key("name").value(rule.name);
    json_.key("shortDescription").beginObject().key("text").value(rule.shortDescription).endObject();
    json_.key("fullDescription").beginObject().key("text").value(rule.fullDescription).endObject();
    json_.key("help").beginObject().key("text").value(rule.help);
    json_.key("markdown").value(std::string(rule.help) + "\n\n[More on " + rule.id + "](" + helpUri + ")");
    json_.endObject().key("helpUri").value(helpUri);
    json_.key("defaultConfiguration").beginObject().key("level").value(rule.level).endObject();
    json_.endObject();
  }

  // Counts a result; false for one beyond the limit, which is left out unmade.
  bool takes() { return ++found_ <= limit_; }

  // Up to the limit less one, each result is written as it comes; the one at the limit waits
  // to learn whether it is the last or the first of those left out.
  void add(SarifResult result) {
    if (found_ < limit_) return writeResult(result);
    held_ = std::move(result);
  }

  void writeResult(const SarifResult& result) {
    const CheckRule& rule = kCheckRules[result.rule];
    json_.beginObject().key("ruleId").value(rule.id).key("ruleIndex").value(listedIndex_[result.rule]);
    json_.key("level").value(rule.level);
    json_.key("message").beginObject().key("text").value(result.message).endObject();
    json_.key("locations").beginArray().beginObject().key("physicalLocation").beginObject();
    json_.key("artifactLocation").beginObject().key("uri").value(result.uri).endObject();
    json_.key("region").beginObject().key("startLine").value(static_cast<std::int64_t>(result.line));
    if (result.column > 0) json_.key("startColumn").value(static_cast<std::int64_t>(result.column));
    json_.endObject().endObject().endObject().endArray();
    json_.key("partialFingerprints").beginObject().key("korvaster/v1").value(result.fingerprint).endObject();
    json_.endObject();
    if (json_.text().size() >= kDocumentPieceSize) output_ << json_.takeText();
  }

  static std::string lowercase(std::string text) {
    for (char& character : text) character = static_cast<char>(std::tolower(static_cast<unsigned char>(character)));
    return text;
  }

  support::OutputByteStream& output_;
  support::JsonWriter json_;
  std::size_t limit_;
  std::size_t found_ = 0;
  std::size_t listedIndex_[std::size(kCheckRules)] = {};
  std::optional<SarifResult> held_;
};

}  // namespace

std::unique_ptr<CheckDocumentWriter> makeSarifWriter(support::OutputByteStream& output, std::size_t resultLimit,
                                                     const CheckRules& rules) {
  return std::make_unique<SarifWriter>(output, resultLimit, rules);
}

}  // namespace korvaster
