// A read-only pass over one Interface Builder document that finds what the identifier rules
// would change, with where each view starts, without building a tree or writing anything. A
// scan owns its findings' texts; it keeps only what a finding shows, packed, so that a file's
// findings take no more memory than the file itself, however many views it has.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace korvaster {

// Where a start tag begins: line and column (in bytes), both counted from 1.
struct SourcePosition {
  unsigned long line = 0;
  unsigned long column = 0;
};

// One finding as it is shown; its texts are views into the scan that made it.
struct ViewFinding {
  enum class Kind { missingIdentifier, duplicateIdentifier };
  Kind kind = Kind::missingIdentifier;
  SourcePosition position;
  std::string_view element;  // the view's element name, e.g. "imageView"
  std::string_view id;
  // For a duplicate: the identifier, and the view that used it first.
  std::string_view identifier;
  std::string_view firstId;
  SourcePosition firstPosition;
};

class IdentifierScan {
 public:
  IdentifierScan();
  ~IdentifierScan();
  IdentifierScan(IdentifierScan&&) noexcept;
  IdentifierScan& operator=(IdentifierScan&&) noexcept;

  std::size_t views() const { return views_; }
  std::size_t missing() const;
  std::size_t duplicates() const;
  // Calls `visit` with each finding, in document order.
  void forEachFinding(const std::function<void(const ViewFinding&)>& visit) const;

 private:
  friend class IdentifierScanner;
  struct Texts;
  // A text kept in `texts_`: where it starts and how long it is.
  struct TextRef {
    const char* data = nullptr;
    std::uint32_t size = 0;
  };
  struct Missing {
    SourcePosition position;
    TextRef id;
    std::uint32_t element = 0;  // index in `elements_`
  };
  struct Duplicate {
    Missing view;
    TextRef identifier;
    TextRef firstId;
    SourcePosition firstPosition;
  };

  std::string_view text(TextRef ref) const { return {ref.data, ref.size}; }

  std::size_t views_ = 0;
  // Each in document order. Deques grow without moving what they hold, so a large scan never
  // needs its findings twice over while it grows.
  std::deque<Missing> missing_;
  std::deque<Duplicate> duplicates_;
  std::vector<TextRef> elements_;
  std::unique_ptr<Texts> texts_;
};

// The views of `document` (elements with both "id" and "contentMode", as the identifier
// rules take them) without an identifier on their first "accessibility" child, and each view
// whose identifier an earlier view of the document already has. Reads as the rewriting reader
// does, with the same nesting limit; throws the XML layer's XmlSyntaxError or XmlError.
IdentifierScan scanIdentifiers(std::string_view document);

}  // namespace korvaster
