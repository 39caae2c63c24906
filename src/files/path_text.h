// Path texts taken apart and compared without touching the disk.
#pragma once

#include <string>
#include <string_view>
#include <utility>

namespace korvaster::files {

// "/a/b//" gives "/a/b"; "/" stays "/".
std::string withoutTrailingSlashes(std::string path);

// The folder part and the last component of a path without trailing "/": "/a/b" gives
// ("/a", "b"), "/b" gives ("/", "b"), "b" gives (".", "b").
std::pair<std::string, std::string> folderAndName(const std::string& path);

// `name` inside `folder`, with one "/" between them: ("/a", "b") and ("/a/", "b") give "/a/b",
// ("/", "b") gives "/b".
std::string joinedPath(const std::string& folder, const std::string& name);

// Whether `path` is `folder` or lies inside it, component-wise: "/a/b" is within "/a" but
// not within "/ab"; everything is within "/". Both without trailing "/".
bool isWithin(const std::string& path, const std::string& folder);

// Within and not the same.
inline bool liesInside(const std::string& path, const std::string& folder) {
  return path != folder && isWithin(path, folder);
}

// Whether the file at relative path `a` comes before the one at `b` in a recursive
// FileSystemSequence: a folder's own files first, in name order, then its subfolders'
// contents, subfolder by subfolder in name order.
bool comesBeforeInWalk(std::string_view a, std::string_view b);

}  // namespace korvaster::files
