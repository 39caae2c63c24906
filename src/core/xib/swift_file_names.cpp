#include "core/xib/swift_file_names.h"

#include <algorithm>
#include <map>
#include <numeric>

#include "core/xib/swift_names.h"

namespace korvaster {

namespace {

struct FilePath {
  std::string name;                  // as a Swift type
  std::vector<std::string> folders;  // outermost first, without localisation folders
};

bool endsWith(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

FilePath splitPath(const std::string& path) {
  FilePath split;
  std::size_t start = 0;
  for (std::size_t slash = path.find('/'); slash != std::string::npos; slash = path.find('/', start)) {
    const std::string folder = path.substr(start, slash - start);
    if (!folder.empty() && folder != "." && !endsWith(folder, ".lproj")) split.folders.push_back(folder);
    start = slash + 1;
  }
  const std::string file = path.substr(start);
  split.name = swiftIdentifier(file.substr(0, file.rfind('.')), SwiftNameKind::type);
  return split;
}

// The innermost `count` folders of `path` (all it has, when fewer).
std::vector<std::string> innermost(const FilePath& path, std::size_t count) {
  const std::size_t kept = std::min(count, path.folders.size());
  return {path.folders.end() - static_cast<std::ptrdiff_t>(kept), path.folders.end()};
}

// `path`'s name with as few innermost folders as tell it from every other path of `group`.
std::string toldApart(const FilePath& path, const std::vector<const FilePath*>& group) {
  std::size_t count = 0;
  for (const FilePath* other : group) {
    if (other == &path) continue;
    std::size_t needed = 1;
    while (needed <= path.folders.size() && innermost(path, needed) == innermost(*other, needed)) ++needed;
    count = std::max(count, std::min(needed, path.folders.size()));
  }
  std::string name = path.name;
  for (const std::string& folder : innermost(path, count)) name += "_" + folder;
  return name;
}

}  // namespace

std::vector<std::string> swiftFileTypeNames(const std::vector<std::string>& relativePaths) {
  std::vector<FilePath> paths;
  std::map<std::string, std::vector<const FilePath*>> sameName;
  paths.reserve(relativePaths.size());
  for (const std::string& path : relativePaths) paths.push_back(splitPath(path));
  for (const FilePath& path : paths) sameName[path.name].push_back(&path);

  // Claimed in the order of the paths, whatever order they come in.
  std::vector<std::size_t> order(paths.size());
  std::iota(order.begin(), order.end(), 0);
  std::sort(order.begin(), order.end(),
            [&](std::size_t left, std::size_t right) { return relativePaths[left] < relativePaths[right]; });
  std::vector<std::string> names(paths.size());
  SwiftScope scope(SwiftNameKind::type);
  for (const std::size_t index : order) {
    const auto& group = sameName[paths[index].name];
    names[index] = scope.claim(group.size() == 1 ? paths[index].name : toldApart(paths[index], group), "");
  }
  return names;
}

}  // namespace korvaster
