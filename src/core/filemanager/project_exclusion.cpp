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

bool ProjectExclusion::takes(const std::string& path) const {
  if (globs_.empty()) return false;
  const bool below = path.compare(0, root_.size(), root_) == 0;
  if (files::isExcludedByGlobs(globs_, below ? path.substr(root_.size()) : path)) return true;
  if (realRoot_.empty()) return false;
  const auto real = system_.realPath(path);
  return real && real->compare(0, realRoot_.size(), realRoot_) == 0 &&
         files::isExcludedByGlobs(globs_, std::string_view(*real).substr(realRoot_.size()));
}

}  // namespace korvaster
