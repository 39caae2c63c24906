// How `ids` tells which identifier is which view: compiler-style lines, one JSON document, CSV
// rows, a Swift file of constants for UI tests, or one of elements for them; written file by
// file as they come.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/xib/swift_names.h"
#include "core/xib/view_listing.h"
#include "core/xib/view_names.h"
#include "support/json_writer.h"
#include "support/output_byte_stream.h"

namespace korvaster {

enum class IdsFormat { text, json, csv, swift, xcuitest };

// The format named `name` ("text", "json", "csv", "swift" or "xcuitest"), or nothing.
std::optional<IdsFormat> idsFormatNamed(const std::string& name);

// One listed file with its views named, or a path that could not be read and why.
struct ListedFile {
  // As check shows it.
  std::string path;
  // The file's name without its extension: the owner of views that have no other.
  std::string fileName;
  // The Swift type the Swift outputs name the file by (swiftFileTypeNames).
  std::string typeName;
  ViewListing listing;
  // One per view of the listing, in its order.
  std::vector<ViewName> names;
  std::optional<std::string> error;
  std::optional<unsigned long> errorLine;
};

// Writes one file after another in one format as they are handed over, so that no more than
// one file's views are held. Text: "path:line:column: element 'identifier' name (owner)" per view
// and "path[:line]: error: message" per unreadable file, control characters escaped. JSON:
// {"files": [{"path", "views": [...]} or {"path", "error"[, "line"]}]}. CSV: a header row, then
// one row per view or unreadable file (RFC 4180 quoting, CRLF line ends). Swift: one enum
// AccessibilityIdentifiers with an enum per file and one per owner inside it, each view's name
// a unique Swift identifier in its owner's enum; an unreadable file is a comment. XCUITest: the
// same files and owners as an enum per file with a struct per owner made with the app, each
// view an XCUIElement of the query for its kind (uiTestQueryOf).
class IdsResultsWriter {
 public:
  // Writes the start of the output (the JSON document's opening, the CSV header, the Swift
  // file's first lines).
  IdsResultsWriter(IdsFormat format, support::OutputByteStream& output);

  void write(const ListedFile& file);
  // Writes the end of the output; nothing may be written after.
  void finish();

  std::size_t unreadable() const { return unreadable_; }

 private:
  void writeJson(const ListedFile& file);
  void writeCsv(const ListedFile& file);
  void writeSwift(const ListedFile& file);
  void writeUiTestElements(const ListedFile& file);
  void sendJsonPiece();  // hands the JSON written so far to the output once it has grown

  IdsFormat format_;
  support::OutputByteStream& output_;
  support::JsonWriter json_;
  std::size_t unreadable_ = 0;
};

}  // namespace korvaster
