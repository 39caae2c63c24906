// A read-only pass over one Interface Builder document that finds what the identifier rules
// would change, with where each view starts, without building a tree or writing anything.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace korvaster {

// Where a start tag begins: line and column (in bytes), both counted from 1.
struct SourcePosition {
  unsigned long line = 0;
  unsigned long column = 0;
};

struct ViewFinding {
  enum class Kind { missingIdentifier, duplicateIdentifier };
  Kind kind = Kind::missingIdentifier;
  SourcePosition position;
  std::string element;  // the view's element name, e.g. "imageView"
  std::string id;
  // For a duplicate: the identifier, and the view that used it first.
  std::string identifier;
  std::string firstId;
  SourcePosition firstPosition;
};

struct IdentifierScan {
  std::size_t views = 0;
  // In document order.
  std::vector<ViewFinding> findings;
};

// The views of `document` (elements with both "id" and "contentMode", as the identifier
// rules take them) without an identifier on their first "accessibility" child, and each view
// whose identifier an earlier view of the document already has. Reads as the rewriting reader
// does, with the same nesting limit; throws the XML layer's XmlSyntaxError or XmlError.
IdentifierScan scanIdentifiers(std::string_view document);

}  // namespace korvaster
