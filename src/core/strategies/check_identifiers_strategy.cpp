#include "core/strategies/check_identifiers_strategy.h"

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

// What goes in front of a path inside the project folder (ending with "/") when it is shown.
std::string shownPrefix(const std::string& projectFolder, const std::string& currentDirectory) {
  const std::string project = files::withoutTrailingSlashes(projectFolder);
  if (currentDirectory.empty() || !files::isWithin(project, currentDirectory)) return projectFolder;
  if (project == currentDirectory) return "";
  const std::size_t skipped = currentDirectory == "/" ? 1 : currentDirectory.size() + 1;
  return project.substr(skipped) + "/";
}

void checkFile(const files::FileManager& system, const std::string& path, ScanKeeps keeps,
               CheckedFile& checked) {
  try {
    // The contents go as soon as they are scanned: the findings wait for their turn without them.
    checked.scan = scanIdentifiers(system.readContents(path), keeps);
  } catch (const xml::XmlSyntaxError& error) {
    checked.error = error.description();
    checked.errorLine = error.line();
  } catch (const std::exception& error) {
    checked.error = support::plainDescription(error);
  }
}

}  // namespace

int CheckIdentifiersStrategy::run(const Arguments& arguments, CheckFormat format,
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
  std::vector<CheckedFile> checked;
  InterfaceBuilderSearchNotes notes;
  const auto found = findInterfaceBuilderFiles(project, *system, &notes);
  for (const auto& file : found) {
    support::throwIfInterrupted();
    const std::string& path = file.path();
    const std::string relative = relativeOf(path);
    if (files::isExcludedByGlobs(excluded, relative)) continue;
    paths.push_back(path);
    checked.emplace_back().path = prefix + relative;
  }
  // A folder that could not be listed may hold files that were never checked: it is an
  // unreadable entry of its own, so that the run cannot pass for a complete one.
  for (const auto& folder : notes.unlistedFolders) {
    const std::string relative = relativeOf(folder.path);
    if (files::isExcludedByGlobs(excluded, relative)) continue;
    paths.emplace_back();
    CheckedFile& entry = checked.emplace_back();
    entry.path = prefix + relative;
    entry.error = "could not list " + entry.path + ": " + folder.reason;
  }
  // A file's findings go as soon as their turn comes, so that they wait without its contents.
  const ScanKeeps keeps = listsEveryView(format) ? ScanKeeps::everyView : ScanKeeps::findings;
  const InterfaceBuilderPass pass(*system, std::move(paths));
  CheckResultsWriter writer(format, output);
  pass.run(
      [&](std::size_t index) {
        if (!pass.realPath(index).empty()) checkFile(*system, pass.realPath(index), keeps, checked[index]);
      },
      [&](std::size_t index) {
        writer.write(checked[index]);
        checked[index] = CheckedFile{};
      });
  writer.finish();
  output.flush();
  return writer.totals().foundAnything() ? 1 : 0;
}

}  // namespace korvaster
