// How `check` tells what it found: compiler-style lines, GitHub workflow commands or one JSON
// document, each with the same findings and totals.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/xib/identifier_scan.h"
#include "support/output_byte_stream.h"

namespace korvaster {

enum class CheckFormat { text, json, github };

// The format named `name` ("text", "json" or "github"), or nothing.
std::optional<CheckFormat> checkFormatNamed(const std::string& name);

struct CheckedFile {
  // As the findings name it.
  std::string path;
  IdentifierScan scan;
  // Why the file could not be read; its scan is then empty.
  std::optional<std::string> error;
  // The line the reader stopped at, when it said.
  std::optional<unsigned long> errorLine;
};

struct CheckTotals {
  std::size_t files = 0;
  std::size_t views = 0;
  std::size_t missing = 0;
  std::size_t duplicates = 0;
  std::size_t unreadable = 0;

  bool foundAnything() const { return missing + duplicates + unreadable > 0; }
};
CheckTotals totalsOf(const std::vector<CheckedFile>& files);

// Writes every finding and the totals in `format`. Text and GitHub output end with the line
// "Checked N Interface Builder files: V views, M without an accessibility identifier,
// D duplicate identifiers, U unreadable."
void writeCheckResults(const std::vector<CheckedFile>& files, CheckFormat format,
                       support::OutputByteStream& output);

}  // namespace korvaster
