// A read-only pass over one Interface Builder document that finds what the identifier rules
// would change, with where each view starts, without building a tree or writing anything. A
// scan owns its findings' texts; it keeps only what a finding shows, packed, so that a file's
// findings take no more memory than the file itself, however many views it has.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace korvaster {

// Where a start tag begins: line and column (in characters), both counted from 1, and the
// column in UTF-16 code units, where a character beyond U+FFFF counts two.
struct SourcePosition {
  unsigned long line = 0;
  unsigned long column = 0;
  unsigned long utf16Column = 0;
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

// A view as a listing of every view shows it; `finding` is null for a view the rules leave alone.
struct ScannedView {
  SourcePosition position;
  std::string_view element;
  std::string_view id;
  const ViewFinding* finding = nullptr;
};

// What a scan keeps: what the findings show, or every view too.
enum class ScanKeeps { findings, everyView };

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
  // Calls `visit` with each view, in document order: those without a finding only when the
  // scan kept every view.
  void forEachView(const std::function<void(const ScannedView&)>& visit) const;
  // Drops each finding for which `drops` is true; the view stays counted, and is listed
  // among those without a finding when the scan kept every view.
  void dropFindings(const std::function<bool(const ViewFinding&)>& drops);

 private:
  friend class IdentifierScanner;
  struct Records;

  std::size_t views_ = 0;
  // What the findings show; none until a scan has kept something, so that a scan waiting to
  // be filled costs next to nothing.
  std::unique_ptr<Records> records_;
};

// The views of `document` (elements with both "id" and "contentMode", as the identifier
// rules take them) without an identifier on their first "accessibility" child, and each view
// whose identifier an earlier view of the document already has. Reads as the rewriting reader
// does, with the same nesting limit; throws the XML layer's XmlSyntaxError or XmlError (also
// for an attribute value of 4 GiB or more). With ScanKeeps::everyView the scan also keeps the
// views without a finding, which it holds while it reads anyway.
IdentifierScan scanIdentifiers(std::string_view document, ScanKeeps keeps = ScanKeeps::findings);

}  // namespace korvaster
