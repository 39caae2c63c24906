#include "core/filemanager/named_interface_builder_files.h"

#include <set>

#include "core/xib/interface_builder_file.h"
#include "files/file_system_errors.h"
#include "files/path_text.h"
#include "support/interruption.h"

namespace korvaster {

namespace {

class NamedSearch {
 public:
  NamedSearch(const files::Folder& project, InterfaceBuilderSearchNotes& notes)
      : project_(project),
        system_(*project.fileManager()),
        projectPath_(files::withoutTrailingSlashes(project.path())),
        projectReal_(system_.realPath(project.path()).value_or(projectPath_)),
        notes_(notes) {}

  void takeNamed(const std::string& path) {
    const auto status = system_.status(path, true);
    if (!status) return fail(path, system_.lookFailure(path).value_or("No such file or directory"));
    try {
      if (status->kind == files::ItemStatus::Kind::folder) {
        const files::Folder folder(path, project_.fileManager());
        if (!files::isWithin(files::withoutTrailingSlashes(folder.path()), projectPath_)) return failOutside(path);
        search(folder);
      } else {
        const files::File file(path, project_.fileManager());
        // A hook hands over whatever matched its pattern: anything else is not ours to judge.
        if (!isInterfaceBuilderFileToChange(file.name())) return;
        if (!files::liesInside(file.path(), projectPath_)) return failOutside(path);
        take(file);
      }
    } catch (const files::PathError& error) {
      fail(path, error.description());
    }
  }

  std::vector<files::File> found;

 private:
  void fail(const std::string& path, std::string reason) {
    if (failed_.insert(path).second) notes_.unreadable.push_back({path, std::move(reason)});
  }
  void failOutside(const std::string& path) { fail(path, "it does not lie in the project's folder"); }

  // Judged by the path below the project, as the search of the whole project judges it.
  void take(const files::File& file) {
    if (!isInterfaceBuilderFileToChange(std::string_view(file.path()).substr(project_.path().size())) ||
        !system_.isRegularFile(file.path()) || !met_.insert(file.path()).second)
      return;
    const auto real = system_.realPath(file.path());
    if (!real) return;
    if (files::liesInside(*real, projectReal_)) {
      found.push_back(file);
    } else {
      notes_.linksLeadingOut.push_back(file.path());
    }
  }

  void search(const files::Folder& folder) {
    InterfaceBuilderSearchNotes inner;
    for (const auto& file : findInterfaceBuilderFiles(folder, system_, &inner)) {
      support::throwIfInterrupted();
      take(file);
    }
    // Outside the named folder may still be inside the project.
    for (const auto& link : inner.linksLeadingOut) take(files::File(link, project_.fileManager()));
    notes_.unlistedFolders.insert(notes_.unlistedFolders.end(), inner.unlistedFolders.begin(),
                                  inner.unlistedFolders.end());
  }

  const files::Folder& project_;
  const files::FileManager& system_;
  std::string projectPath_;
  std::string projectReal_;
  InterfaceBuilderSearchNotes& notes_;
  // The files taken or found leading out, so that each is met once.
  std::set<std::string> met_;
  std::set<std::string> failed_;
};

}  // namespace

std::vector<files::File> findNamedInterfaceBuilderFiles(const files::Folder& project,
                                                        const std::vector<std::string>& named,
                                                        InterfaceBuilderSearchNotes& notes) {
  NamedSearch search(project, notes);
  for (const std::string& path : named) search.takeNamed(path);
  return std::move(search.found);
}

}  // namespace korvaster
