#include "core/strategies/list_identifiers_strategy.h"

#include "core/errors/korvast_error.h"
#include "core/filemanager/interface_builder_file_search.h"
#include "core/xib/interface_builder_pass.h"
#include "files/folder.h"
#include "files/path_glob.h"
#include "files/path_text.h"
#include "support/interruption.h"
#include "xml/xml_error.h"

namespace korvaster {

namespace {

// What goes in front of a path inside the project folder (ending with "/") when it is shown,
// as check shows it.
std::string shownPrefix(const std::string& projectFolder, const std::string& currentDirectory) {
  const std::string project = files::withoutTrailingSlashes(projectFolder);
  if (currentDirectory.empty() || !files::isWithin(project, currentDirectory)) return projectFolder;
  if (project == currentDirectory) return "";
  const std::size_t skipped = currentDirectory == "/" ? 1 : currentDirectory.size() + 1;
  return project.substr(skipped) + "/";
}

void listFile(const files::FileManager& system, const std::string& path, ListedFile& listed) {
  try {
    // The contents go as soon as they are listed: the views wait for their turn without them.
    listed.listing = listViews(system.readContents(path));
    listed.names.reserve(listed.listing.size());
    for (std::size_t index = 0; index < listed.listing.size(); ++index)
      listed.names.push_back(nameView(listed.listing, index, listed.fileName));
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
  const auto [folder, name] = files::folderAndName(relative);
  listed.fileName = name.substr(0, name.rfind('.'));
  listed.folderName = files::folderAndName(folder).second;
  return listed;
}

}  // namespace

int ListIdentifiersStrategy::run(const Arguments& arguments, IdsFormat format,
                                 const std::shared_ptr<files::FileManager>& system,
                                 support::OutputByteStream& output) {
  const auto projectPath = lookup(arguments, ArgumentType::projectPath);
  if (!projectPath) throw KorvastError::missedProjectPath();
  const files::Folder project(*projectPath, system);
  const std::vector<std::string> excluded = lookupAll(arguments, ArgumentType::exclude);
  const std::string root = project.path();
  const std::string prefix = shownPrefix(root, files::withoutTrailingSlashes(system->currentDirectoryPath()));

  const auto relativeOf = [&](const std::string& path) {
    return path.compare(0, root.size(), root) == 0 ? path.substr(root.size()) : path;
  };
  std::vector<std::string> paths;
  std::vector<ListedFile> listed;
  InterfaceBuilderSearchNotes notes;
  for (const auto& file : findInterfaceBuilderFiles(project, *system, &notes)) {
    support::throwIfInterrupted();
    const std::string relative = relativeOf(file.path());
    if (files::isExcludedByGlobs(excluded, relative)) continue;
    paths.push_back(file.path());
    listed.push_back(listedFileAt(prefix + relative, relative));
  }
  // A folder that could not be listed may hold files that were never read: it is an
  // unreadable entry of its own, so that the listing cannot pass for a complete one.
  for (const auto& folder : notes.unlistedFolders) {
    const std::string relative = relativeOf(folder.path);
    if (files::isExcludedByGlobs(excluded, relative)) continue;
    paths.emplace_back();
    ListedFile& entry = listed.emplace_back();
    entry.path = prefix + relative;
    entry.error = "could not list " + entry.path + ": " + folder.reason;
  }
  const InterfaceBuilderPass pass(*system, std::move(paths));
  IdsResultsWriter writer(format, output);
  pass.run(
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
