#include "core/strategies/check_output.h"

#include <cstdio>
#include <iterator>

#include "core/options/command_line_table.h"
#include "core/strategies/check_document_writers.h"
#include "support/text_format.h"

namespace korvaster {

namespace {

// A JSON document is handed to the output in pieces of about this size, so that a file with
// very many findings is never held as text.
constexpr std::size_t kJsonPieceSize = 64 * 1024;

std::string quoted(std::string_view text) {
  std::string result = "'";
  result.append(text);
  return result += "'";
}

// "1 view", "2 views".
std::string counted(std::size_t count, const std::string& noun) {
  return std::to_string(count) + " " + noun + (count == 1 ? "" : "s");
}

// Said only when there is something to say, so that a run without a baseline reads as before.
std::string resolvedOf(const CheckTotals& totals) {
  const std::size_t resolved = totals.resolved.value_or(0);
  if (resolved == 0) return "";
  return ", " + std::to_string(resolved) + (resolved == 1 ? " baseline entry" : " baseline entries") +
         " resolved";
}

}  // namespace

std::string checkSummaryLine(const CheckTotals& totals) {
  const std::string leftOut =
      totals.leftOut == 0 ? "" : " " + std::to_string(totals.leftOut) + " results were left out of the SARIF log.";
  return "Checked " + counted(totals.files, "Interface Builder file") + ": " + counted(totals.views, "view") +
         ", " + std::to_string(totals.missing) + " without an accessibility identifier, " +
         counted(totals.duplicates, "duplicate identifier") + ", " + std::to_string(totals.unreadable) +
         " unreadable" + resolvedOf(totals) + "." + leftOut;
}

namespace {

// Workflow commands end their message at a line break and their properties at "," or ":";
// the other control characters are escaped as in text.
std::string githubEscaped(std::string_view text, bool isProperty) {
  std::string escaped;
  for (const char character : text) {
    switch (character) {
      case '%':
        escaped += "%25";
        break;
      case '\r':
        escaped += "%0D";
        break;
      case '\n':
        escaped += "%0A";
        break;
      case ':':
        escaped += isProperty ? "%3A" : ":";
        break;
      case ',':
        escaped += isProperty ? "%2C" : ",";
        break;
      default:
        escaped += character;
    }
  }
  return support::textEscaped(escaped);
}

void writeText(const CheckedFile& file, support::OutputByteStream& output) {
  if (file.error) output << support::diagnosticLine(file.path, file.errorLine, std::nullopt, "error", *file.error);
  file.scan.forEachFinding([&](const ViewFinding& finding) {
    output << support::diagnosticLine(file.path, finding.position.line, finding.position.column, "warning",
                                      findingMessage(finding));
  });
}

void writeGithub(const CheckedFile& file, support::OutputByteStream& output) {
  const std::string path = githubEscaped(file.path, true);
  if (file.error) {
    output << "::error file=" << path;
    if (file.errorLine) output << ",line=" << std::to_string(*file.errorLine);
    output << "::" << githubEscaped(*file.error, false) << "\n";
  }
  file.scan.forEachFinding([&](const ViewFinding& finding) {
    output << "::warning file=" << path << ",line=" << std::to_string(finding.position.line)
           << ",col=" << std::to_string(finding.position.column)
           << "::" << githubEscaped(findingMessage(finding), false) << "\n";
  });
}

}  // namespace

std::optional<CheckFormat> checkFormatNamed(const std::string& name) {
  for (std::size_t index = 0; index < std::size(kCheckFormatNames); ++index) {
    if (name == kCheckFormatNames[index]) return static_cast<CheckFormat>(index);
  }
  return std::nullopt;
}

bool listsEveryView(CheckFormat format) { return format == CheckFormat::junit; }

const char* findingKindName(ViewFinding::Kind kind) {
  return kind == ViewFinding::Kind::missingIdentifier ? "missingIdentifier" : "duplicateIdentifier";
}

std::string findingMessage(const ViewFinding& finding) {
  std::string message(finding.element);
  message += " " + quoted(finding.id);
  if (finding.kind == ViewFinding::Kind::missingIdentifier)
    return message + " has no accessibility identifier";
  return message + " uses accessibility identifier " + quoted(finding.identifier) + ", already used by " +
         quoted(finding.firstId) + " at line " + std::to_string(finding.firstPosition.line);
}

CheckResultsWriter::CheckResultsWriter(CheckFormat format, support::OutputByteStream& output,
                                       std::size_t sarifResultLimit, const CheckRules& rules)
    : format_(format), output_(output) {
  switch (format_) {
    case CheckFormat::json:
      json_.beginObject().key("files").beginArray();
      break;
    case CheckFormat::sarif:
      document_ = makeSarifWriter(output_, sarifResultLimit, rules);
      break;
    case CheckFormat::junit:
      document_ = makeJunitWriter(output_);
      break;
    case CheckFormat::checkstyle:
      document_ = makeCheckstyleWriter(output_);
      break;
    case CheckFormat::text:
    case CheckFormat::github:
    case CheckFormat::xcode:
      break;
  }
}

CheckResultsWriter::~CheckResultsWriter() = default;

void CheckResultsWriter::write(const CheckedFile& file) {
  ++totals_.files;
  if (file.error) ++totals_.unreadable;
  totals_.views += file.scan.views();
  totals_.missing += file.scan.missing();
  totals_.duplicates += file.scan.duplicates();
  switch (format_) {
    case CheckFormat::json:
      writeJson(file);
      break;
    case CheckFormat::github:
      writeGithub(file, output_);
      break;
    case CheckFormat::text:
    case CheckFormat::xcode:
      writeText(file, output_);
      break;
    case CheckFormat::sarif:
    case CheckFormat::junit:
    case CheckFormat::checkstyle:
      document_->write(file);
      break;
  }
}

void CheckResultsWriter::writeJson(const CheckedFile& file) {
  json_.beginObject().key("path").value(file.path);
  if (file.error) {
    json_.key("error").value(*file.error).endObject();
    return sendJsonPiece();
  }
  json_.key("views").value(file.scan.views()).key("missing").value(file.scan.missing());
  json_.key("duplicates").value(file.scan.duplicates()).key("findings").beginArray();
  file.scan.forEachFinding([&](const ViewFinding& finding) {
    const bool missing = finding.kind == ViewFinding::Kind::missingIdentifier;
    json_.beginObject().key("kind").value(missing ? "missingIdentifier" : "duplicateIdentifier");
    json_.key("line").value(static_cast<std::int64_t>(finding.position.line));
    json_.key("column").value(static_cast<std::int64_t>(finding.position.column));
    json_.key("element").value(finding.element).key("id").value(finding.id);
    if (!missing) {
      json_.key("identifier").value(finding.identifier).key("firstId").value(finding.firstId);
      json_.key("firstLine").value(static_cast<std::int64_t>(finding.firstPosition.line));
    }
    json_.key("message").value(findingMessage(finding)).endObject();
    sendJsonPiece();
  });
  json_.endArray().endObject();
  sendJsonPiece();
}

void CheckResultsWriter::sendJsonPiece() {
  if (json_.text().size() >= kJsonPieceSize) output_ << json_.takeText();
}

void CheckResultsWriter::finish(std::optional<std::size_t> resolved) {
  totals_.resolved = resolved;
  if (document_) return document_->finish(totals_);
  if (format_ != CheckFormat::json) {
    output_ << checkSummaryLine(totals_) << "\n";
    return;
  }
  json_.endArray().key("summary").beginObject();
  json_.key("files").value(totals_.files).key("views").value(totals_.views);
  json_.key("missing").value(totals_.missing).key("duplicates").value(totals_.duplicates);
  json_.key("unreadable").value(totals_.unreadable);
  if (totals_.resolved) json_.key("baselineResolved").value(*totals_.resolved);
  json_.endObject().endObject();
  output_ << json_.takeText();
}

}  // namespace korvaster
