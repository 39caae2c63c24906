#include "core/filemanager/korvast_file_manager.h"

#include "core/errors/korvast_error.h"
#include "core/filemanager/archive_cleanup.h"
#include "core/filemanager/working_folder_name.h"
#include "core/xib/accessibility_identifiers.h"
#include "files/file_contents.h"
#include "files/file_system_errors.h"
#include "files/file_system_sequence.h"
#include "xml/xml_document.h"

namespace korvaster {

namespace {

constexpr const char* kToolFolderName = "CommandLineTool";
constexpr const char* kBuildsFolderName = "AppBuilds";
constexpr const char* kProjectsFolderName = "Projects";

files::Folder subfolderOrFail(const files::Folder& parent, const std::string& name) {
  try {
    return parent.createSubfolderIfNeeded(name);
  } catch (const files::FolderError&) {
    throw KorvastError::failedToCreateFolder();
  }
}

files::Folder toolFolder(const files::Folder& home) {
  return subfolderOrFail(subfolderOrFail(home, kWorkingFolderName), kToolFolderName);
}

// "/a/b" lies inside "/a" but not inside "/ab".
bool liesInside(const std::string& path, const std::string& folder) {
  return path.size() > folder.size() && path.compare(0, folder.size(), folder) == 0 &&
         (folder.back() == '/' || path[folder.size()] == '/');
}

}  // namespace

std::string workspaceName(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  std::string name = path.substr(path.rfind('/') + 1);
  const auto dot = name.rfind('.');
  if (dot != std::string::npos && dot > 0) name.erase(dot);
  return name;
}

bool KorvastFileManagerHelper::shouldCopyItem(const std::string& sourcePath) {
  for (const char* marker : {"/.svn", "/.git", "/.hg"}) {
    if (sourcePath.find(marker) != std::string::npos) return false;
  }
  return true;
}

KorvastFileManager::KorvastFileManager(std::shared_ptr<Logger> serviceLogger)
    : KorvastFileManager(std::move(serviceLogger), files::Folder::home()) {}

KorvastFileManager::KorvastFileManager(std::shared_ptr<Logger> serviceLogger, const files::Folder& homeFolder)
    : KorvastFileManager(std::move(serviceLogger), homeFolder, toolFolder(homeFolder)) {}

KorvastFileManager::KorvastFileManager(std::shared_ptr<Logger> serviceLogger, const files::Folder& homeFolder,
                                       const files::Folder& tool)
    : logger(std::move(serviceLogger)),
      home(homeFolder),
      projects(subfolderOrFail(tool, kProjectsFolderName)),
      builds(subfolderOrFail(tool, kBuildsFolderName)),
      fileManager(std::make_shared<files::FileManager>(&KorvastFileManagerHelper::shouldCopyItem)) {}

void KorvastFileManager::log(LogLevel level, const std::string& message) const {
  if (logger) logger->log(level, [&] { return message; });
}

void KorvastFileManager::refuseCopyOntoProject(const files::Folder& source,
                                               const files::Folder& destination) const {
  const auto project = fileManager->realPath(source.path());
  const auto target = fileManager->realPath(destination.path());
  if (!project || !target) return;
  const std::string copyPath = *target + (target->back() == '/' ? "" : "/") + source.name();
  std::string reason;
  if (copyPath == *project) {
    reason = "the copy would replace the project itself at " + *project;
  } else if (liesInside(copyPath, *project)) {
    reason = "the copy " + copyPath + " would lie inside the project " + *project;
  } else if (liesInside(*project, copyPath)) {
    reason = "the copy " + copyPath + " would replace a folder that holds the project " + *project;
  } else {
    return;
  }
  log(LogLevel::Error, "Refusing to copy the project: " + reason + ".");
  throw KorvastError::failedToCopyProject();
}

files::Folder KorvastFileManager::copy(const std::string& from, const std::optional<std::string>& to) const {
  const files::Folder source(from, fileManager);
  const files::Folder destination = to ? files::Folder(*to, fileManager) : projects;
  if (source == destination) return source;
  // Compared by real path: the same folder reached through a link or another spelling is the
  // project too, and an earlier copy that is really the project must never be deleted.
  const auto sourceReal = fileManager->realPath(source.path());
  if (sourceReal && sourceReal == fileManager->realPath(destination.path())) return source;
  refuseCopyOntoProject(source, destination);

  try {
    if (destination.containsSubfolder(source.name())) {
      files::Folder(destination.path() + source.name(), fileManager).deleteItem();
    }
    return source.copy(destination);
  } catch (const files::OperationError& error) {
    if (error.errorCase() == files::OperationError::Case::copyFailed) {
      log(LogLevel::Error, "Copy File operation failed. Description: " + support::genericDescription(error));
    }
  } catch (const support::Error&) {
  }
  throw KorvastError::failedToCopyProject();
}

std::string KorvastFileManager::prepareProjectBuildFolder(const std::string& workspace) const {
  const std::string name = workspaceName(workspace);
  if (builds.containsSubfolder(name)) return builds.path() + name + "/";
  try {
    return builds.createSubfolder(name).path();
  } catch (const files::FolderError&) {
    throw KorvastError::failedToCreateFolder();
  }
}

void KorvastFileManager::cleanArchives() const {
  if (logger) logger->log(LogLevel::Debug, [] { return "Cleaning..."; });
  bool complete = true;
  auto clean = [&](const files::Folder& folder) {
    const ArchiveCount count = cleanAllXCArchives(folder, logger);
    if (count.deleted < count.foundArchives) complete = false;
  };
  clean(builds);
  for (const auto& buildFolder : builds.subfolders()) clean(buildFolder);
  if (!complete) throw KorvastError::failedToCleanArchives(builds.path());
  if (logger) logger->log(LogLevel::Debug, [] { return "Cleaning succeeded."; });
}

std::vector<files::File> KorvastFileManager::findIBFiles(const files::Folder& folder) const {
  std::vector<files::File> found;
  const auto root = fileManager->realPath(folder.path());
  if (!root) return found;
  for (const auto& file : folder.makeFileSequence(true, false)) {
    const auto extension = file.extension();
    if (!extension || (*extension != "xib" && *extension != "storyboard")) continue;
    // A link may lead out of the folder; what lies outside is never ours to change.
    const auto real = fileManager->realPath(file.path());
    if (real && liesInside(*real, *root)) found.push_back(file);
  }
  return found;
}

bool KorvastFileManager::modifyAccessibilityId(const std::vector<files::File>& ibFiles) const {
  int errors = 0;
  for (const auto& file : ibFiles) {
    // Writing through the real path keeps a linked file a link.
    const std::string path = fileManager->realPath(file.path()).value_or(file.path());
    // The parser's words say where in the file; these say which file.
    const std::string inFile = " (in " + file.path() + ")";
    try {
      const std::string contents = files::readContents(path);
      xml::XmlDocument document{std::string_view(contents)};
      transformIdToAccessibility(*document.root());
      files::writeAtomically(path, document.xml());
    } catch (const xml::XmlError& error) {
      ++errors;
      const char* prefix = error.errorCase() == xml::XmlError::Case::parsingFailed
                               ? "Can't parse XML file. Description: "
                               : "Can't read file, Description: ";
      log(LogLevel::Error, prefix + support::genericDescription(error) + inFile);
    } catch (const xml::XmlSyntaxError& error) {
      ++errors;
      log(LogLevel::Error, "Can't read file, Description: " + support::genericDescription(error) + inFile);
    } catch (const std::exception& error) {
      ++errors;
      log(LogLevel::Error, "Can't read file, Description: " + support::genericDescription(error));
    }
  }
  return errors == 0;
}

}  // namespace korvaster
