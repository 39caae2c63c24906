#include "core/xib/interface_builder_file.h"

#include "core/xib/identifier_stream_rules.h"
#include "core/xib/interface_builder_names.h"
#include "files/file_manager.h"
#include "support/interruption.h"
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
  support::throwIfInterrupted();
  // Also throws when a block could not be written.
  replacement->commit();
  IdentifierCounts counts = rules.counts();
  counts.otherNamesKeptOldContents = version && version->links > 1 && write == IBFileWrite::atomically;
  return counts;
}

IdentifierCounts insertAccessibilityIdentifiers(const files::FilePlace& place, PlannedInsertions* planned) {
  const files::OpenedFolder& folder = *place.folder;
  const auto version = folder.versionOf(place.name);
  std::string contents = folder.readContents(place.name);
  IdentifierInsertions insertions = identifierInsertionsOf(contents);
  IdentifierCounts counts = insertions.counts;
  if (planned) {
    *planned = {std::move(contents), std::move(insertions)};
  } else if (!insertions.edits.empty()) {
    const auto replacement =
        folder.replaceContents(place.name, files::ContentsReplacement::Mode::atomically, contents);
    if (version) replacement->requireUnchangedSince(*version);
    // A signal ends the work before the file is put in place, however long the file.
    support::writeEdited(contents, insertions.edits, [&replacement](std::string_view block) {
      support::throwIfInterrupted();
      return replacement->write(block);
    });
    support::throwIfInterrupted();
    replacement->commit();
    counts.otherNamesKeptOldContents = version && version->links > 1;
  }
  return counts;
}

}  // namespace korvaster
