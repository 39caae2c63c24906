// One Interface Builder file taken through the identifier rules: read, changed, written back.
#pragma once

#include <string>
#include <string_view>

#include "core/xib/identifier_counts.h"
#include "core/xib/identifier_insertion.h"
#include "files/opened_folder.h"

namespace korvaster {

// Whether the file at `relativePath` (relative to the project, "/" between components) is an
// Interface Builder file the identifier pass changes: named *.xib or *.storyboard, with no
// hidden component. The one place that decides it; every finder of such files asks here.
bool isInterfaceBuilderFileToChange(std::string_view relativePath);

// How a rewritten file replaces the old one: through a temporary file and a rename, so that
// readers see either the old or the new file, or by writing into the file itself, for a file
// in a copy no one sees before it is complete.
enum class IBFileWrite { atomically, inPlace };

// Reads the file at `place`, gives its views their identifiers and writes it back there,
// every text as it was read. Throws the file layer's FileIOError, the XML layer's
// XmlSyntaxError (also for nesting too deep to be an Interface Builder file) or XmlError, and
// support::Interrupted once an interrupting signal came; the file is then left as it was.
// Returns what the rules found and did.
IdentifierCounts addAccessibilityIdentifiers(const files::FilePlace& place,
                                             IBFileWrite write = IBFileWrite::atomically);

// A file's contents and the insertions that would give its views their identifiers.
struct PlannedInsertions {
  std::string contents;
  IdentifierInsertions insertions;
};

// Reads the file at `place` and gives its views their identifiers as
// insertions into its own bytes (see insertAccessibilityIdentifiers). A file that gains
// anything is replaced atomically, and only when it is still as it was read; one that gains
// nothing is not written. With `planned`, nothing is written: the contents read and the
// insertions they would get are stored there (none when nothing would change). Throws as
// addAccessibilityIdentifiers does; the file is then left as it was.
IdentifierCounts insertAccessibilityIdentifiers(const files::FilePlace& place, PlannedInsertions* planned = nullptr);

}  // namespace korvaster
