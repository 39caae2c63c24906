#include "core/strategies/run_report.h"

#include "support/json_writer.h"

namespace korvaster {

namespace {

void optionalText(support::JsonWriter& json, const char* key, const std::optional<std::string>& text) {
  json.key(key);
  if (text) {
    json.value(*text);
  } else {
    json.null();
  }
}

void identifierPass(support::JsonWriter& json, const IdentifierPassSummary& pass) {
  json.key("interfaceBuilderFiles").beginArray();
  for (const IBFileOutcome& file : pass.files) {
    json.beginObject().key("path").value(file.path);
    if (file.error) {
      json.key("error").value(*file.error);
    } else {
      json.key("views").value(file.counts.views);
      json.key("identifiersAdded").value(file.counts.added);
      json.key("identifiersKept").value(file.counts.kept);
    }
    json.endObject();
  }
  json.endArray();
  const IdentifierPassTotals totals = totalsOf(pass);
  json.key("totals").beginObject();
  json.key("files")
      .value(totals.files)
      .key("updated")
      .value(totals.updated)
      .key("failed")
      .value(totals.failed);
  json.key("views").value(totals.counts.views).key("identifiersAdded").value(totals.counts.added);
  json.key("identifiersKept").value(totals.counts.kept).endObject();
}

}  // namespace

IdentifierPassTotals totalsOf(const IdentifierPassSummary& pass) {
  IdentifierPassTotals totals;
  totals.files = pass.files.size();
  for (const IBFileOutcome& file : pass.files) {
    if (file.error) {
      ++totals.failed;
      continue;
    }
    if (file.counts.added > 0) ++totals.updated;
    totals.counts.views += file.counts.views;
    totals.counts.added += file.counts.added;
    totals.counts.kept += file.counts.kept;
  }
  return totals;
}

std::string reportJson(const RunReport& report) {
  support::JsonWriter json;
  json.beginObject().key("command").value(report.command);
  json.key("status").value(report.status);
  optionalText(json, "error", report.error);
  if (report.errorCause) json.key("errorCause").value(*report.errorCause);
  json.key("durationSeconds").value(report.durationSeconds);
  optionalText(json, "copyPath", report.copyPath);
  if (report.command == "build") json.key("copyRemoved").value(report.copyRemoved);
  if (report.identifierPass) identifierPass(json, *report.identifierPass);
  if (report.command == "build") {
    optionalText(json, "archivePath", report.archivePath);
    json.key("archiveRemoved").value(report.archiveRemoved);
    json.key("xcodebuild").beginArray();
    for (const auto& run : report.xcodebuildRuns) {
      json.beginObject().key("action").value(run.action).key("exitStatus").value(run.exitStatus);
      optionalText(json, "log", run.logPath);
      json.endObject();
    }
    json.endArray();
    json.key("ipaFiles").beginArray();
    for (const auto& path : report.ipaFiles) json.value(path);
    json.endArray();
  }
  json.endObject();
  return json.text();
}

}  // namespace korvaster
