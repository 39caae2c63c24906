#include "core/strategies/check_identifiers_strategy.h"

#include "core/errors/korvast_error.h"
#include "core/filemanager/interface_builder_file_search.h"
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

std::string descriptionOf(const std::exception& error) {
  if (const auto* own = dynamic_cast<const support::Error*>(&error)) {
    if (auto description = own->ownDescription()) return *description;
  }
  return support::genericDescription(error);
}

CheckedFile checkFile(const files::FileManager& system, const std::string& path, std::string shownPath) {
  CheckedFile checked;
  checked.path = std::move(shownPath);
  try {
    checked.scan = scanIdentifiers(system.readContents(path));
  } catch (const xml::XmlSyntaxError& error) {
    checked.error = error.description();
    checked.errorLine = error.line();
  } catch (const std::exception& error) {
    checked.error = descriptionOf(error);
  }
  return checked;
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

  std::vector<CheckedFile> checked;
  for (const auto& file : findInterfaceBuilderFiles(project, *system)) {
    support::throwIfInterrupted();
    const std::string& path = file.path();
    const std::string relative = path.compare(0, root.size(), root) == 0 ? path.substr(root.size()) : path;
    if (files::isExcludedByGlobs(excluded, relative)) continue;
    checked.push_back(checkFile(*system, path, prefix + relative));
  }
  writeCheckResults(checked, format, output);
  output.flush();
  return totalsOf(checked).foundAnything() ? 1 : 0;
}

}  // namespace korvaster
