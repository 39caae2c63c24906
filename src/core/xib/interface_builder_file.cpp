#include "core/xib/interface_builder_file.h"

#include "core/xib/identifier_stream_rules.h"
#include "xml/xml_stream_rewriter.h"

namespace korvaster {

namespace {
// Interface Builder nests a few dozen levels; far deeper input is hostile and would make
// the rewritten file grow with the square of its depth.
constexpr std::size_t kMaximumDepth = 256;
}  // namespace

IdentifierCounts addAccessibilityIdentifiers(const files::FileManager& system, const std::string& path,
                                             IBFileWrite write) {
  std::string contents = system.readContents(path);
  // Rewritten text is about as long as the original (tabs where Interface Builder indents
  // with spaces, a line per added identifier): reserving that much saves the string from
  // doubling past the file's size.
  std::string rewritten;
  rewritten.reserve(contents.size() + contents.size() / 8 + 4096);
  IdentifierStreamRules rules;
  xml::XmlStreamRewriter rewriter(&rules, [&rewritten](std::string_view block) {
    rewritten.append(block);
    return true;
  }, kMaximumDepth);
  rewriter.rewrite(contents);
  if (write == IBFileWrite::inPlace) {
    system.overwriteContents(path, rewritten, contents);
  } else {
    // The old text is not needed again: giving it back lowers the peak.
    std::string().swap(contents);
    system.writeAtomically(path, rewritten);
  }
  return rules.counts();
}

}  // namespace korvaster
