// The identifier rules as a stream editor: each view gets its identifier while the file is
// read and written, element by element.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/xib/identifier_counts.h"
#include "xml/xml_stream_rewriter.h"

namespace korvaster {

class IdentifierStreamRules final : public xml::XmlStreamEditor {
 public:
  void startElement(std::string_view name, std::vector<xml::AttributeView>& attributes) override;
  bool endElement(std::string_view& childName, std::vector<xml::AttributeView>& childAttributes) override;

  // What the rules found and did in the elements seen so far.
  const IdentifierCounts& counts() const { return counts_; }

 private:
  struct OpenElement {
    bool isView = false;
    // Whether the view has met its first accessibility child.
    bool hasAccessibility = false;
    std::string identifier;  // a view's id
  };

  IdentifierCounts counts_;
  // The open elements, innermost last; entries are reused, so their strings keep capacity.
  std::vector<OpenElement> open_;
  std::size_t depth_ = 0;
  std::string pendingIdentifier_;  // keeps the value of an appended attribute alive
};

}  // namespace korvaster
