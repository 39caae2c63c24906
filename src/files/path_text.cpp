#include "files/path_text.h"

namespace korvaster::files {

std::string withoutTrailingSlashes(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

std::pair<std::string, std::string> folderAndName(const std::string& path) {
  const auto slash = path.rfind('/');
  if (slash == std::string::npos) return {".", path};
  return {slash == 0 ? "/" : path.substr(0, slash), path.substr(slash + 1)};
}

std::string joinedPath(const std::string& folder, const std::string& name) {
  return !folder.empty() && folder.back() == '/' ? folder + name : folder + "/" + name;
}

bool isWithin(const std::string& path, const std::string& folder) {
  if (folder == "/") return !path.empty() && path.front() == '/';
  return path.compare(0, folder.size(), folder) == 0 && (path.size() == folder.size() || path[folder.size()] == '/');
}

bool comesBeforeInWalk(std::string_view a, std::string_view b) {
  while (true) {
    const std::size_t slashA = a.find('/');
    const std::size_t slashB = b.find('/');
    const bool fileA = slashA == std::string_view::npos;
    if (fileA != (slashB == std::string_view::npos)) return fileA;
    const std::string_view nameA = a.substr(0, slashA);
    const std::string_view nameB = b.substr(0, slashB);
    if (fileA || nameA != nameB) return nameA < nameB;
    a.remove_prefix(slashA + 1);
    b.remove_prefix(slashB + 1);
  }
}

}  // namespace korvaster::files
