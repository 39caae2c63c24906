#include "core/strategies/check_output.h"

#include "support/json_writer.h"

namespace korvaster {

namespace {

std::string quoted(const std::string& text) { return "'" + text + "'"; }

std::string messageOf(const ViewFinding& finding) {
  const std::string view = finding.element + " " + quoted(finding.id);
  if (finding.kind == ViewFinding::Kind::missingIdentifier) return view + " has no accessibility identifier";
  return view + " uses accessibility identifier " + quoted(finding.identifier) + ", already used by " +
         quoted(finding.firstId) + " at line " + std::to_string(finding.firstPosition.line);
}

std::string summaryOf(const CheckTotals& totals) {
  return "Checked " + std::to_string(totals.files) +
         " Interface Builder files: " + std::to_string(totals.views) + " views, " +
         std::to_string(totals.missing) + " without an accessibility identifier, " +
         std::to_string(totals.duplicates) + " duplicate identifiers, " + std::to_string(totals.unreadable) +
         " unreadable.";
}

// Workflow commands end their message at a line break and their properties at "," or ":".
std::string githubEscaped(const std::string& text, bool isProperty) {
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
  return escaped;
}

void writeText(const std::vector<CheckedFile>& files, support::OutputByteStream& output) {
  for (const CheckedFile& file : files) {
    if (file.error) {
      output << file.path;
      if (file.errorLine) output << ":" << std::to_string(*file.errorLine);
      output << ": error: " << *file.error << "\n";
    }
    for (const ViewFinding& finding : file.scan.findings) {
      output << file.path << ":" << std::to_string(finding.position.line) << ":"
             << std::to_string(finding.position.column) << ": warning: " << messageOf(finding) << "\n";
    }
  }
}

void writeGithub(const std::vector<CheckedFile>& files, support::OutputByteStream& output) {
  for (const CheckedFile& file : files) {
    const std::string path = githubEscaped(file.path, true);
    if (file.error) {
      output << "::error file=" << path;
      if (file.errorLine) output << ",line=" << std::to_string(*file.errorLine);
      output << "::" << githubEscaped(*file.error, false) << "\n";
    }
    for (const ViewFinding& finding : file.scan.findings) {
      output << "::warning file=" << path << ",line=" << std::to_string(finding.position.line)
             << ",col=" << std::to_string(finding.position.column)
             << "::" << githubEscaped(messageOf(finding), false) << "\n";
    }
  }
}

void writeJson(const std::vector<CheckedFile>& files, const CheckTotals& totals,
               support::OutputByteStream& output) {
  support::JsonWriter json;
  json.beginObject().key("files").beginArray();
  for (const CheckedFile& file : files) {
    json.beginObject().key("path").value(file.path);
    if (file.error) {
      json.key("error").value(*file.error).endObject();
      continue;
    }
    const CheckTotals counts = totalsOf({file});
    json.key("views").value(counts.views).key("missing").value(counts.missing);
    json.key("duplicates").value(counts.duplicates).key("findings").beginArray();
    for (const ViewFinding& finding : file.scan.findings) {
      const bool missing = finding.kind == ViewFinding::Kind::missingIdentifier;
      json.beginObject().key("kind").value(missing ? "missingIdentifier" : "duplicateIdentifier");
      json.key("line").value(static_cast<std::int64_t>(finding.position.line));
      json.key("column").value(static_cast<std::int64_t>(finding.position.column));
      json.key("element").value(finding.element).key("id").value(finding.id);
      if (!missing) {
        json.key("identifier").value(finding.identifier).key("firstId").value(finding.firstId);
        json.key("firstLine").value(static_cast<std::int64_t>(finding.firstPosition.line));
      }
      json.key("message").value(messageOf(finding)).endObject();
    }
    json.endArray().endObject();
  }
  json.endArray().key("summary").beginObject();
  json.key("files").value(totals.files).key("views").value(totals.views).key("missing").value(totals.missing);
  json.key("duplicates").value(totals.duplicates).key("unreadable").value(totals.unreadable);
  json.endObject().endObject();
  output << json.text();
}

}  // namespace

std::optional<CheckFormat> checkFormatNamed(const std::string& name) {
  if (name == "text") return CheckFormat::text;
  if (name == "json") return CheckFormat::json;
  if (name == "github") return CheckFormat::github;
  return std::nullopt;
}

CheckTotals totalsOf(const std::vector<CheckedFile>& files) {
  CheckTotals totals;
  totals.files = files.size();
  for (const CheckedFile& file : files) {
    if (file.error) ++totals.unreadable;
    totals.views += file.scan.views;
    for (const ViewFinding& finding : file.scan.findings) {
      ++(finding.kind == ViewFinding::Kind::missingIdentifier ? totals.missing : totals.duplicates);
    }
  }
  return totals;
}

void writeCheckResults(const std::vector<CheckedFile>& files, CheckFormat format,
                       support::OutputByteStream& output) {
  const CheckTotals totals = totalsOf(files);
  switch (format) {
    case CheckFormat::json:
      writeJson(files, totals, output);
      return;
    case CheckFormat::github:
      writeGithub(files, output);
      break;
    case CheckFormat::text:
      writeText(files, output);
      break;
  }
  output << summaryOf(totals) << "\n";
}

}  // namespace korvaster
