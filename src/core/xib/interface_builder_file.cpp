#include "core/xib/interface_builder_file.h"

#include "core/xib/identifier_insertion.h"
#include "core/xib/identifier_stream_rules.h"
#include "core/xib/interface_builder_names.h"
#include "support/unified_diff.h"
#include "xml/xml_stream_rewriter.h"

namespace korvaster {

bool isInterfaceBuilderFileToChange(std::string_view relativePath) {
  const std::size_t nameStart = relativePath.rfind('/') + 1;  // 0 without a "/"
  const std::string_view name = relativePath.substr(nameStart);
  const std::size_t dot = name.rfind('.');
  if (dot == std::string_view::npos) return false;
  const std::string_view extension = name.substr(dot + 1);
  if (extension != "xib" && extension != "storyboard") return false;
  for (std::size_t start = 0; start <= nameStart && start < relativePath.size();) {
    if (relativePath[start] == '.') return false;
    const std::size_t slash = relativePath.find('/', start);
    if (slash == std::string_view::npos) break;
    start = slash + 1;
  }
  return true;
}

IdentifierCounts addAccessibilityIdentifiers(const files::FilePlace& place, IBFileWrite write) {
  const files::OpenedFolder& folder = *place.folder;
  // Taken before the read: a change the user makes from here on must not be written over.
  const auto version = folder.versionOf(place.name);
  const std::string contents = folder.readContents(place.name);
  // The new text goes to the file block by block as it is made, so that the file is held in
  // memory once, whatever its size.
  const auto replacement =
      folder.replaceContents(place.name,
                             write == IBFileWrite::inPlace ? files::ContentsReplacement::Mode::inPlace
                                                           : files::ContentsReplacement::Mode::atomically,
                             contents);
  if (version && write == IBFileWrite::atomically) replacement->requireUnchangedSince(*version);
  IdentifierStreamRules rules;
  xml::XmlStreamRewriter rewriter(
      &rules, [&replacement](std::string_view block) { return replacement->write(block); },
      ibNames::maximumDepth);
  rewriter.rewrite(contents);
  // Also throws when a block could not be written.
  replacement->commit();
  IdentifierCounts counts = rules.counts();
  counts.otherNamesKeptOldContents = version && version->links > 1 && write == IBFileWrite::atomically;
  return counts;
}

IdentifierCounts insertAccessibilityIdentifiers(const files::FilePlace& place, std::string* diff,
                                                std::string_view diffPath) {
  const files::OpenedFolder& folder = *place.folder;
  const auto version = folder.versionOf(place.name);
  const std::string contents = folder.readContents(place.name);
  IdentifierInsertion insertion = insertAccessibilityIdentifiers(contents);
  if (diff) {
    *diff = support::unifiedDiff(contents, insertion.text, diffPath);
  } else if (insertion.text != contents) {
    const auto replacement =
        folder.replaceContents(place.name, files::ContentsReplacement::Mode::atomically, contents);
    if (version) replacement->requireUnchangedSince(*version);
    replacement->write(insertion.text);
    replacement->commit();
    insertion.counts.otherNamesKeptOldContents = version && version->links > 1;
  }
  return insertion.counts;
}

}  // namespace korvaster
