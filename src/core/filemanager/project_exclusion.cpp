#include "core/filemanager/project_exclusion.h"

#include "files/path_glob.h"
#include "files/path_text.h"

namespace korvaster {

ProjectExclusion::ProjectExclusion(std::vector<std::string> globs, std::string root,
                                   const files::FileManager& system)
    : globs_(std::move(globs)), root_(std::move(root)), system_(system) {
  if (globs_.empty()) return;
  if (const auto real = system_.realPath(root_)) realRoot_ = files::joinedPath(*real, "");
}

// Files share folders: each folder's real path is found once, and a file that is not itself a
// link lies in it under its own name.
std::optional<std::string> ProjectExclusion::realPathOf(const std::string& path) const {
  const std::string clean = files::withoutTrailingSlashes(path);
  if (system_.isSymbolicLink(clean)) return system_.realPath(clean);
  const auto [folder, name] = files::folderAndName(clean);
  const auto [known, isNew] = realFolders_.try_emplace(folder);
  if (isNew) known->second = system_.realPath(folder);
  if (!known->second) return std::nullopt;
  return files::joinedPath(*known->second, name);
}

bool ProjectExclusion::takes(const std::string& path) const {
  if (globs_.empty()) return false;
  const bool below = path.compare(0, root_.size(), root_) == 0;
  if (files::isExcludedByGlobs(globs_, below ? path.substr(root_.size()) : path)) return true;
  if (realRoot_.empty()) return false;
  const auto real = realPathOf(path);
  return real && real->compare(0, realRoot_.size(), realRoot_) == 0 &&
         files::isExcludedByGlobs(globs_, std::string_view(*real).substr(realRoot_.size()));
}

}  // namespace korvaster
