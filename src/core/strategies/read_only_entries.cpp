#include "core/strategies/read_only_entries.h"

#include "core/errors/korvast_error.h"
#include "core/filemanager/interface_builder_file_search.h"
#include "core/filemanager/named_interface_builder_files.h"
#include "core/filemanager/project_exclusion.h"
#include "files/folder.h"
#include "files/path_text.h"
#include "support/interruption.h"

namespace korvaster {

namespace {

// What goes in front of a path inside the project folder (ending with "/") when it is shown.
std::string shownPrefix(const std::string& projectFolder, const std::string& currentDirectory) {
  const std::string project = files::withoutTrailingSlashes(projectFolder);
  if (currentDirectory.empty() || !files::isWithin(project, currentDirectory)) return projectFolder;
  if (project == currentDirectory) return "";
  const std::size_t skipped = currentDirectory == "/" ? 1 : currentDirectory.size() + 1;
  return project.substr(skipped) + "/";
}

}  // namespace

std::vector<ReadOnlyEntry> readOnlyEntries(const Arguments& arguments,
                                           const std::shared_ptr<files::FileManager>& system) {
  const auto projectPath = lookup(arguments, ArgumentType::projectPath);
  const std::vector<std::string> named = lookupAll(arguments, ArgumentType::namedPath);
  if (!projectPath && named.empty()) throw KorvastError::missedProjectPath();
  // Files named without a project folder belong to the current directory's project.
  const files::Folder project(projectPath.value_or(""), system);
  const std::string root = project.path();
  const ProjectExclusion exclusion(lookupAll(arguments, ArgumentType::exclude), root, *system);
  const std::string prefix = shownPrefix(root, files::withoutTrailingSlashes(system->currentDirectoryPath()));
  const auto relativeOf = [&](const std::string& path) {
    return path.compare(0, root.size(), root) == 0 ? path.substr(root.size()) : path;
  };

  std::vector<ReadOnlyEntry> entries;
  InterfaceBuilderSearchNotes notes;
  const auto found = named.empty() ? findInterfaceBuilderFiles(project, *system, &notes)
                                   : findNamedInterfaceBuilderFiles(project, named, notes, &exclusion);
  for (const auto& file : found) {
    support::throwIfInterrupted();
    if (exclusion.takes(file.path())) continue;
    std::string relative = relativeOf(file.path());
    entries.push_back({file.path(), prefix + relative, relative, std::nullopt});
  }
  for (const auto& folder : notes.unlistedFolders) {
    if (exclusion.takes(folder.path)) continue;
    std::string relative = relativeOf(folder.path);
    std::string shown = prefix + relative;
    std::string error = "could not list " + shown + ": " + folder.reason;
    entries.push_back({std::string(), std::move(shown), std::move(relative), std::move(error)});
  }
  for (const auto& path : notes.unreadable)
    entries.push_back({std::string(), path.path, path.path, "could not read " + path.path + ": " + path.reason});
  return entries;
}

}  // namespace korvaster
