// A temporary folder for one test, removed with everything in it when the test ends, and the
// small disk helpers the tests share.
#pragma once

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace korvaster::testing {

class TemporaryFolder {
 public:
  TemporaryFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "korvaster-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) std::abort();
    path_ = std::filesystem::canonical(pattern).string();
  }
  ~TemporaryFolder() {
    namespace fs = std::filesystem;
    // Give back write access first, so that read-only folders made by a test go too.
    std::error_code error;
    for (auto it = fs::recursive_directory_iterator(path_, error); !error && it != fs::end(it); it.increment(error)) {
      if (it->is_directory(error) && !it->is_symlink(error)) fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, error);
    }
    fs::remove_all(path_, error);
  }
  TemporaryFolder(const TemporaryFolder&) = delete;
  TemporaryFolder& operator=(const TemporaryFolder&) = delete;

  // The folder's real path, without a trailing "/".
  const std::string& path() const { return path_; }
  std::string operator/(const std::string& relative) const { return path_ + "/" + relative; }

  // Writes `contents` to `relative`, creating the folders on the way; returns its path.
  std::string write(const std::string& relative, const std::string& contents) const {
    const std::filesystem::path target = path_ + "/" + relative;
    std::filesystem::create_directories(target.parent_path());
    std::ofstream(target, std::ios::binary) << contents;
    return target.string();
  }
  std::string makeFolder(const std::string& relative) const {
    std::filesystem::create_directories(path_ + "/" + relative);
    return path_ + "/" + relative + "/";
  }

 private:
  std::string path_;
};

inline std::string readFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// The names in `folder`, sorted.
inline std::vector<std::string> entryNames(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) names.push_back(entry.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

// The permission bits of `path` itself.
inline unsigned permissionsOf(const std::string& path) {
  struct stat status {};
  return ::lstat(path.c_str(), &status) == 0 ? status.st_mode & 07777 : 077777;
}

// Whether anything, a link included, is at `path`.
inline bool isThere(const std::string& path) {
  struct stat status {};
  return ::lstat(path.c_str(), &status) == 0;
}

// The files directly in `folder` whose extension is one of `extensions` (all files when none
// is given), sorted; none when the folder is missing.
inline std::vector<std::string> filesIn(const std::string& folder, const std::vector<std::string>& extensions = {}) {
  std::vector<std::string> paths;
  std::error_code error;
  for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    const std::string extension = it->path().extension().string();
    if (extensions.empty() || std::find(extensions.begin(), extensions.end(), extension) != extensions.end()) {
      paths.push_back(it->path().string());
    }
  }
  std::sort(paths.begin(), paths.end());
  return paths;
}

// `text` with each `from` replaced by `to`.
inline std::string replaced(std::string text, const std::string& from, const std::string& to) {
  for (auto at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) text.replace(at, from.size(), to);
  return text;
}

inline bool endsWith(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

}  // namespace korvaster::testing
