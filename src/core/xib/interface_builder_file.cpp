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

IdentifierCounts addAccessibilityIdentifiers(const files::FileManager& system, const std::string& path,
                                             IBFileWrite write) {
  // Taken before the read: a change the user makes from here on must not be written over.
  const auto version = system.versionOf(path);
  const std::string contents = system.readContents(path);
  // The new text goes to the file block by block as it is made, so that the file is held in
  // memory once, whatever its size.
  const auto replacement =
      system.replaceContents(path,
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
  return rules.counts();
}

IdentifierCounts insertAccessibilityIdentifiers(const files::FileManager& system, const std::string& path,
                                                PlannedInsertions* planned) {
  const auto version = system.versionOf(path);
  std::string contents = system.readContents(path);
  IdentifierInsertions insertions = identifierInsertionsOf(contents);
  const IdentifierCounts counts = insertions.counts;
  if (planned) {
    *planned = {std::move(contents), std::move(insertions)};
  } else if (!insertions.edits.empty()) {
    const auto replacement = system.replaceContents(path, files::ContentsReplacement::Mode::atomically, contents);
    if (version) replacement->requireUnchangedSince(*version);
    // A signal ends the work before the file is put in place, however long the file.
    support::writeEdited(contents, insertions.edits, [&replacement](std::string_view block) {
      support::throwIfInterrupted();
      return replacement->write(block);
    });
    support::throwIfInterrupted();
    replacement->commit();
  }
  return counts;
}

}  // namespace korvaster
