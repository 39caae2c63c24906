#include "core/strategies/list_identifiers_strategy.h"

#include "core/strategies/read_only_entries.h"
#include "core/xib/interface_builder_pass.h"
#include "core/xib/swift_file_names.h"
#include "files/path_text.h"
#include "support/interruption.h"
#include "xml/xml_error.h"

namespace korvaster {

namespace {

void listFile(const files::FileManager& system, const std::string& path, ListedFile& listed) {
  try {
    // The contents go as soon as they are listed: the views wait for their turn without them.
    listed.listing = listViews(system.readContents(path));
    listed.names.reserve(listed.listing.size());
    for (std::size_t index = 0; index < listed.listing.size(); ++index)
      listed.names.push_back(nameView(listed.listing, index, listed.fileName));
  } catch (const support::Interrupted&) {
    throw;
  } catch (const xml::XmlSyntaxError& error) {
    listed.error = error.description();
    listed.errorLine = error.line();
  } catch (const std::exception& error) {
    listed.error = support::plainDescription(error);
  }
}

// The entry for a file at `relative` below the project folder.
ListedFile listedFileAt(const std::string& shownPath, const std::string& relative) {
  ListedFile listed;
  listed.path = shownPath;
  const std::string name = files::folderAndName(relative).second;
  listed.fileName = name.substr(0, name.rfind('.'));
  return listed;
}

}  // namespace

int ListIdentifiersStrategy::run(const Arguments& arguments, IdsFormat format,
                                 const std::shared_ptr<files::FileManager>& system,
                                 support::OutputByteStream& output, std::size_t workers, std::size_t* entries) {
  std::vector<std::string> paths, relativePaths;
  std::vector<ListedFile> listed;
  for (ReadOnlyEntry& entry : readOnlyEntries(arguments, system)) {
    paths.push_back(std::move(entry.path));
    relativePaths.push_back(entry.relativePath);
    if (entry.error) {
      ListedFile& file = listed.emplace_back();
      file.path = std::move(entry.shownPath);
      file.error = std::move(entry.error);
    } else {
      listed.push_back(listedFileAt(entry.shownPath, entry.relativePath));
    }
  }
  if (entries) *entries = listed.size();
  const std::vector<std::string> typeNames = swiftFileTypeNames(relativePaths);
  for (std::size_t index = 0; index < listed.size(); ++index) listed[index].typeName = typeNames[index];
  const InterfaceBuilderPass pass(*system, std::move(paths));
  IdsResultsWriter writer(format, output);
  pass.run(
      workers,
      [&](std::size_t index) {
        if (!pass.realPath(index).empty()) listFile(*system, pass.realPath(index), listed[index]);
      },
      [&](std::size_t index) {
        writer.write(listed[index]);
        listed[index] = ListedFile{};
      });
  writer.finish();
  output.flush();
  return writer.unreadable() > 0 ? 1 : 0;
}

}  // namespace korvaster
