#include "core/xib/interface_builder_file.h"

#include "core/xib/accessibility_identifiers.h"
#include "xml/xml_document.h"

namespace korvaster {

namespace {
// Interface Builder nests a few dozen levels; far deeper input is hostile and would make
// the rewritten file grow with the square of its depth.
constexpr std::size_t kMaximumDepth = 256;
}  // namespace

IdentifierCounts addAccessibilityIdentifiers(const files::FileManager& system, const std::string& path) {
  xml::XmlOptions options;
  // Texts are the app's visible strings: they are written back exactly as they were read.
  options.parserSettings.shouldTrimWhitespace = false;
  options.parserSettings.maximumDepth = kMaximumDepth;
  const std::string contents = system.readContents(path);
  xml::XmlDocument document{std::string_view(contents), options};
  const IdentifierCounts counts = transformIdToAccessibility(*document.root());
  system.writeAtomically(path, document.xml());
  return counts;
}

}  // namespace korvaster
