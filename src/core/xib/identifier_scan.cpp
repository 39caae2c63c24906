#include "core/xib/identifier_scan.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <deque>
#include <limits>
#include <optional>
#include <tuple>
#include <unordered_map>

#include "core/xib/interface_builder_names.h"
#include "core/xib/tag_text.h"
#include "core/xib/view_attributes.h"
#include "xml/expat_parser.h"
#include "xml/xml_error.h"

namespace korvaster {

namespace {

bool comesBefore(const SourcePosition& left, const SourcePosition& right) {
  return std::tie(left.line, left.column) < std::tie(right.line, right.column);
}

// A text kept in a scan's blocks: where it starts and how long it is.
struct TextRef {
  const char* data = nullptr;
  std::uint32_t size = 0;
};

struct ViewRecord {
  SourcePosition position;
  TextRef id;
  std::uint32_t element = 0;  // index in the element names
};

// A view with an identifier, and for a duplicate the first use of that identifier.
struct IdentifiedView {
  ViewRecord view;
  TextRef identifier;
  TextRef firstId;
  SourcePosition firstPosition;
};

std::string_view text(TextRef ref) { return {ref.data, ref.size}; }

}  // namespace

struct IdentifierScan::Records {
  static constexpr std::size_t kBlockSize = 64 * 1024;

  // A lasting copy of `text`, which must be shorter than 4 GiB.
  TextRef keep(std::string_view text) {
    if (text.size() > kBlockSize / 4) {
      // A long text gets a block of its own, so that the shared block's room is not lost.
      char* own = largeBlocks.emplace_back(new char[text.size()]).get();
      std::memcpy(own, text.data(), text.size());
      return {own, static_cast<std::uint32_t>(text.size())};
    }
    if (blocks.empty() || kBlockSize - used < text.size()) {
      blocks.emplace_back(new char[kBlockSize]);
      used = 0;
    }
    char* copy = blocks.back().get() + used;
    std::memcpy(copy, text.data(), text.size());
    used += text.size();
    return {copy, static_cast<std::uint32_t>(text.size())};
  }

  ViewFinding missingFinding(const ViewRecord& view) const {
    ViewFinding finding;
    finding.position = view.position;
    finding.element = text(elements[view.element]);
    finding.id = text(view.id);
    return finding;
  }
  ViewFinding duplicateFinding(const IdentifiedView& view) const {
    ViewFinding finding = missingFinding(view.view);
    finding.kind = ViewFinding::Kind::duplicateIdentifier;
    finding.identifier = text(view.identifier);
    finding.firstId = text(view.firstId);
    finding.firstPosition = view.firstPosition;
    return finding;
  }

  // Each in document order once the scan is done. Deques grow without moving what they hold,
  // so that a large scan never needs its records twice over while it grows.
  std::deque<ViewRecord> missing;
  std::deque<IdentifiedView> duplicates;
  // Views without a finding, kept only when asked for.
  bool keepsEveryView = false;
  std::deque<ViewRecord> others;
  std::vector<TextRef> elements;
  // The texts, in blocks that never move, so that the records can point into them.
  std::vector<std::unique_ptr<char[]>> blocks;
  std::vector<std::unique_ptr<char[]>> largeBlocks;
  std::size_t used = 0;  // in the last of `blocks`
};

IdentifierScan::IdentifierScan() = default;
IdentifierScan::~IdentifierScan() = default;
IdentifierScan::IdentifierScan(IdentifierScan&&) noexcept = default;
IdentifierScan& IdentifierScan::operator=(IdentifierScan&&) noexcept = default;

std::size_t IdentifierScan::missing() const { return records_ ? records_->missing.size() : 0; }
std::size_t IdentifierScan::duplicates() const { return records_ ? records_->duplicates.size() : 0; }

void IdentifierScan::forEachFinding(const std::function<void(const ViewFinding&)>& visit) const {
  if (!records_) return;
  const auto& missing = records_->missing;
  const auto& duplicates = records_->duplicates;
  auto nextMissing = missing.begin();
  auto nextDuplicate = duplicates.begin();
  while (nextMissing != missing.end() || nextDuplicate != duplicates.end()) {
    const bool takeMissing =
        nextDuplicate == duplicates.end() ||
        (nextMissing != missing.end() && comesBefore(nextMissing->position, nextDuplicate->view.position));
    visit(takeMissing ? records_->missingFinding(*nextMissing++)
                      : records_->duplicateFinding(*nextDuplicate++));
  }
}

void IdentifierScan::dropFindings(const std::function<bool(const ViewFinding&)>& drops) {
  if (!records_) return;
  Records& records = *records_;
  const std::size_t othersBefore = records.others.size();
  const auto dropped = [&](const ViewRecord& view, const ViewFinding& finding) {
    if (!drops(finding)) return false;
    if (records.keepsEveryView) records.others.push_back(view);
    return true;
  };
  const auto missingDropped = [&](const ViewRecord& view) {
    return dropped(view, records.missingFinding(view));
  };
  const auto duplicateDropped = [&](const IdentifiedView& view) {
    return dropped(view.view, records.duplicateFinding(view));
  };
  records.missing.erase(std::remove_if(records.missing.begin(), records.missing.end(), missingDropped),
                        records.missing.end());
  records.duplicates.erase(
      std::remove_if(records.duplicates.begin(), records.duplicates.end(), duplicateDropped),
      records.duplicates.end());
  // Both parts are in document order, and so must the whole be.
  const auto middle = records.others.begin() + static_cast<std::ptrdiff_t>(othersBefore);
  std::inplace_merge(records.others.begin(), middle, records.others.end(),
                     [](const ViewRecord& left, const ViewRecord& right) {
                       return comesBefore(left.position, right.position);
                     });
}

void IdentifierScan::forEachView(const std::function<void(const ScannedView&)>& visit) const {
  if (!records_) return;
  const auto& others = records_->others;
  auto nextOther = others.begin();
  // Both lists are in document order: the views without a finding go in between the findings.
  const auto visitOthersBefore = [&](const SourcePosition* position) {
    for (; nextOther != others.end() && (!position || comesBefore(nextOther->position, *position));
         ++nextOther)
      visit(
          {nextOther->position, text(records_->elements[nextOther->element]), text(nextOther->id), nullptr});
  };
  forEachFinding([&](const ViewFinding& finding) {
    visitOthersBefore(&finding.position);
    visit({finding.position, finding.element, finding.id, &finding});
  });
  visitOthersBefore(nullptr);
}

namespace {

// What the scanner knows of an element that is still open.
struct OpenElement {
  bool isView = false;
  bool sawAccessibility = false;
  bool hasIdentifier = false;
};

}  // namespace

// Fills an IdentifierScan from expat's events. Views are recorded when they end, which is
// when it is known whether they have an identifier.
class IdentifierScanner {
 public:
  IdentifierScanner(XML_Parser parser, ScanKeeps keeps, std::string_view document)
      : parser_(parser), keeps_(keeps), astrals_(document) {
    scan_.records_ = std::make_unique<IdentifierScan::Records>();
    scan_.records_->keepsEveryView = keeps == ScanKeeps::everyView;
  }

  void start(const char* name, const char** attributes) {
    if (++depth_ > ibNames::maximumDepth) {
      fail(static_cast<int>(XML_ERROR_ABORTED),
           "elements nested deeper than " + std::to_string(ibNames::maximumDepth) + " levels");
      return;
    }
    ViewAttributes own;
    for (const char** attribute = attributes; *attribute != nullptr; attribute += 2)
      own.take(attribute[0], attribute[1]);
    if (!open_.empty() && holdsViewIdentifier(open_.back().isView, open_.back().sawAccessibility, name)) {
      open_.back().sawAccessibility = true;
      if (own.identifier()) {
        open_.back().hasIdentifier = true;
        if (!keep(*own.identifier(), pending_.back().identifier)) return;
      }
    }
    OpenElement& element = open_.emplace_back();
    if (own.isView()) {
      element.isView = true;
      IdentifiedView& view = pending_.emplace_back();
      view.view.position = here();
      view.view.element = elementIndex(name);
      if (!keep(*own.id(), view.view.id)) return;
    }
  }

  void end() {
    --depth_;
    if (open_.empty()) return;
    const OpenElement element = open_.back();
    open_.pop_back();
    if (!element.isView) return;
    ++scan_.views_;
    IdentifiedView view = pending_.back();
    pending_.pop_back();
    if (element.hasIdentifier) {
      records().duplicates.push_back(view);
    } else {
      records().missing.push_back(view.view);
    }
  }

  IdentifierScan finish() {
    // Views end in another order than they start: which use of an identifier came first is
    // only known once every view has been seen. Until then duplicates_ holds every view with
    // an identifier; sorted by identifier, each run of equal ones starts with the first use.
    auto& views = records().duplicates;
    std::sort(views.begin(), views.end(), [&](const auto& left, const auto& right) {
      const std::string_view leftText = text(left.identifier), rightText = text(right.identifier);
      return leftText != rightText ? leftText < rightText
                                   : comesBefore(left.view.position, right.view.position);
    });
    std::size_t kept = 0;
    for (std::size_t first = 0; first < views.size();) {
      std::size_t next = first + 1;
      // The duplicates are gathered at the front, over records already used: the first
      // use's own record may be among them.
      const ViewRecord firstUse = views[first].view;
      if (keeps_ == ScanKeeps::everyView) records().others.push_back(firstUse);
      const std::string_view identifier = text(views[first].identifier);
      for (; next < views.size() && text(views[next].identifier) == identifier; ++next) {
        IdentifiedView& duplicate = views[kept++];
        duplicate = views[next];
        duplicate.firstId = firstUse.id;
        duplicate.firstPosition = firstUse.position;
      }
      first = next;
    }
    views.resize(kept);
    views.shrink_to_fit();
    const auto inDocumentOrder = [](const auto& left, const auto& right) {
      return comesBefore(left.position, right.position);
    };
    std::sort(records().missing.begin(), records().missing.end(), inDocumentOrder);
    std::sort(records().others.begin(), records().others.end(), inDocumentOrder);
    std::sort(views.begin(), views.end(),
              [&](const auto& left, const auto& right) { return inDocumentOrder(left.view, right.view); });
    // A file without findings waits for its turn to be written with nothing kept.
    if (records().missing.empty() && views.empty() && records().others.empty()) scan_.records_.reset();
    return std::move(scan_);
  }

  void fail(int code, std::string message) {
    if (!error_)
      error_.emplace(code, std::move(message), XML_GetCurrentLineNumber(parser_),
                     XML_GetCurrentColumnNumber(parser_) + 1);
    XML_StopParser(parser_, XML_FALSE);
  }
  const std::optional<xml::XmlSyntaxError>& error() const { return error_; }

 private:
  IdentifierScan::Records& records() { return *scan_.records_; }

  SourcePosition here() {
    const auto column = static_cast<unsigned long>(XML_GetCurrentColumnNumber(parser_)) + 1;
    // Each character beyond U+FFFF before the tag is one more UTF-16 code unit.
    const auto tag = static_cast<std::size_t>(std::max<XML_Index>(XML_GetCurrentByteIndex(parser_), 0));
    return {static_cast<unsigned long>(XML_GetCurrentLineNumber(parser_)), column, column + astrals_.before(tag)};
  }

  // Copies `text` into the scan; fails the scan for a text too long to point at.
  bool keep(std::string_view text, TextRef& into) {
    if (text.size() > std::numeric_limits<std::uint32_t>::max()) {
      fail(static_cast<int>(XML_ERROR_ABORTED), "an attribute value of 4 GiB or more");
      return false;
    }
    into = records().keep(text);
    return true;
  }

  std::uint32_t elementIndex(const char* name) {
    const auto found = elementIndices_.find(name);
    if (found != elementIndices_.end()) return found->second;
    TextRef kept;
    if (!keep(name, kept)) return 0;
    const auto index = static_cast<std::uint32_t>(records().elements.size());
    records().elements.push_back(kept);
    elementIndices_.emplace(text(kept), index);
    return index;
  }

  XML_Parser parser_;
  ScanKeeps keeps_;
  AstralsOnLine astrals_;
  std::size_t depth_ = 0;
  std::vector<OpenElement> open_;
  // The records of the views still open, innermost last: a view's record moves to the scan
  // when the view ends.
  std::vector<IdentifiedView> pending_;
  std::unordered_map<std::string_view, std::uint32_t> elementIndices_;
  IdentifierScan scan_;
  std::optional<xml::XmlSyntaxError> error_;
};

IdentifierScan scanIdentifiers(std::string_view document, ScanKeeps keeps) {
  return xml::readWith<IdentifierScanner>(document, keeps, document);
}

}  // namespace korvaster
