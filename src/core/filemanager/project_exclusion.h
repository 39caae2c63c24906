// ProjectExclusion: which of a project's files and folders the exclude globs take, judged by
// the path they were found under and by where they really lie. Holds the globs and the
// project folder's real path; reads the disk through the given manager, which must outlive it.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "files/file_manager.h"

namespace korvaster {

class ProjectExclusion {
 public:
  // `root` is the project folder's path, ending with "/".
  ProjectExclusion(std::vector<std::string> globs, std::string root, const files::FileManager& system);

  // Whether a glob takes `path` by its part below the root (a path elsewhere as it is), or by
  // its real path's part below the root's real path: a link inside the project, to a file or
  // to a folder, does not lead around a glob to what it names. False without globs.
  bool takes(const std::string& path) const;

 private:
  std::optional<std::string> realPathOf(const std::string& path) const;

  std::vector<std::string> globs_;
  std::string root_;
  // The root's real path, ending with "/"; empty when it has none.
  std::string realRoot_;
  const files::FileManager& system_;
  // The real path of each folder met so far, by its path; nothing when it has none.
  mutable std::map<std::string, std::optional<std::string>> realFolders_;
};

}  // namespace korvaster
