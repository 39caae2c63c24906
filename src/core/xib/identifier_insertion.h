// The identifier rules as insertions into a file's own bytes: every view gets its identifier
// where Xcode itself would write it, and every other byte of the file stays as it was.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/xib/identifier_counts.h"
#include "support/text_edits.h"

namespace korvaster {

struct IdentifierInsertions {
  std::vector<support::TextEdit> edits;  // in order of offset
  IdentifierCounts counts;
};

struct IdentifierInsertion {
  std::string text;
  IdentifierCounts counts;
};

// The views of `document` (as the identifier rules take them) without an identifier get one,
// as insertions only: a new accessibility child on a line of its own, indented like the view's
// other children and placed among them as Xcode places it (a view written as one empty tag is
// opened and closed around it), or an identifier attribute on an accessibility child that has
// none, where Xcode writes it. The line ending, the indentation unit and the escaping of the
// inserted text follow the file's own. A document without such views gets no edits.
// Throws the XML layer's XmlSyntaxError for input it cannot read (also for nesting deeper
// than an Interface Builder file's, and for a document not in UTF-8), or XmlError.
IdentifierInsertions identifierInsertionsOf(std::string_view document);

// The document with identifierInsertionsOf(document) made; throws as it does.
IdentifierInsertion insertAccessibilityIdentifiers(std::string_view document);

}  // namespace korvaster
