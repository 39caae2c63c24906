#include "core/filemanager/named_interface_builder_files.h"

#include <algorithm>
#include <optional>
#include <set>
#include <tuple>

#include "core/xib/interface_builder_file.h"
#include "files/file_system_errors.h"
#include "files/path_text.h"
#include "support/interruption.h"

namespace korvaster {

namespace {

class NamedSearch {
 public:
  NamedSearch(const files::Folder& project, InterfaceBuilderSearchNotes& notes,
              const ProjectExclusion* exclusion)
      : project_(project),
        system_(*project.fileManager()),
        projectReal_(
            system_.realPath(project.path()).value_or(files::withoutTrailingSlashes(project.path()))),
        notes_(notes),
        exclusion_(exclusion) {}

  // Where a path leads is decided by the kernel, not by its spelling: a path through a link
  // into the project is the project's, and "link/.." is the link's target's parent.
  void takeNamed(const std::string& path) {
    const auto status = system_.status(path, true);
    if (!status) return failLook(path);
    const bool isFolder = status->kind == files::ItemStatus::Kind::folder;
    std::string folderPart = path, name;
    if (!isFolder) std::tie(folderPart, name) = files::folderAndName(path);
    // A hook hands over whatever matched its pattern: anything else is not ours to judge.
    if (!isFolder && !isInterfaceBuilderFileToChange(name)) return;
    const auto real = system_.realPath(folderPart);
    if (!real) return failLook(path);
    const auto inProject = placeInProject(*real);
    if (!inProject) return fail(path, "it does not lie in the project's folder");
    try {
      if (isFolder) return search(files::Folder(*inProject, project_.fileManager()));
      const files::File file(files::joinedPath(*inProject, name), project_.fileManager());
      if (take(file) != Taken::ledOut || (exclusion_ && exclusion_->takes(file.path()))) return;
      // Named on its own, a file left alone must not pass for one taken; once, however spelled.
      if (namedLeadingOut_.insert(file.path()).second)
        fail(path, "it is a link to a file outside the project; it is left as it is");
    } catch (const files::PathError& error) {
      fail(path, error.description());
    }
  }

  std::vector<files::File> found;

 private:
  enum class Taken { no, yes, ledOut };

  void fail(const std::string& path, std::string reason) {
    if (failed_.insert(path).second) notes_.unreadable.push_back({path, std::move(reason)});
  }
  void failLook(const std::string& path) {
    fail(path, system_.lookFailure(path).value_or("No such file or directory"));
  }

  // The project folder's path followed by `real`'s part below the project's real folder, or
  // nothing when `real` lies elsewhere.
  std::optional<std::string> placeInProject(const std::string& real) const {
    if (!files::isWithin(real, projectReal_)) return std::nullopt;
    const std::size_t below = std::min(real.size(), projectReal_ == "/" ? 1 : projectReal_.size() + 1);
    return project_.path() + real.substr(below);
  }

  // Judged by the path below the project, as the search of the whole project judges it. A
  // file is taken once; one leading out is said to each caller, which says it once.
  Taken take(const files::File& file) {
    if (!isInterfaceBuilderFileToChange(std::string_view(file.path()).substr(project_.path().size())) ||
        !system_.isRegularFile(file.path()))
      return Taken::no;
    const auto real = system_.realPath(file.path());
    if (!real) return Taken::no;
    if (!files::liesInside(*real, projectReal_)) return Taken::ledOut;
    if (!met_.insert(file.path()).second) return Taken::no;
    found.push_back(file);
    return Taken::yes;
  }

  void warnOnce(const std::string& link) {
    if (met_.insert(link).second) notes_.linksLeadingOut.push_back(link);
  }

  void search(const files::Folder& folder) {
    InterfaceBuilderSearchNotes inner;
    for (const auto& file : findInterfaceBuilderFiles(folder, system_, &inner)) {
      support::throwIfInterrupted();
      if (take(file) == Taken::ledOut) warnOnce(file.path());
    }
    // Outside the named folder may still be inside the project.
    for (const auto& link : inner.linksLeadingOut) {
      if (take(files::File(link, project_.fileManager())) == Taken::ledOut) warnOnce(link);
    }
    notes_.unlistedFolders.insert(notes_.unlistedFolders.end(), inner.unlistedFolders.begin(),
                                  inner.unlistedFolders.end());
  }

  const files::Folder& project_;
  const files::FileManager& system_;
  std::string projectReal_;
  InterfaceBuilderSearchNotes& notes_;
  const ProjectExclusion* exclusion_;
  // The files taken or found leading out, so that each is met once.
  std::set<std::string> met_;
  std::set<std::string> failed_;
  std::set<std::string> namedLeadingOut_;
};

}  // namespace

std::vector<files::File> findNamedInterfaceBuilderFiles(const files::Folder& project,
                                                        const std::vector<std::string>& named,
                                                        InterfaceBuilderSearchNotes& notes,
                                                        const ProjectExclusion* exclusion) {
  NamedSearch search(project, notes, exclusion);
  for (const std::string& path : named) search.takeNamed(path);
  return std::move(search.found);
}

}  // namespace korvaster
