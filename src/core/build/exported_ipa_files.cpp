#include "core/build/exported_ipa_files.h"

#include <dirent.h>
#include <sys/stat.h>

#include <memory>

namespace korvaster {

namespace {

bool hasIpaExtension(const std::string& name) {
  static const std::string kExtension = ".ipa";
  return name.size() > kExtension.size() &&
         name.compare(name.size() - kExtension.size(), kExtension.size(), kExtension) == 0;
}

}  // namespace

ExportedIpaFiles ExportedIpaFiles::in(const std::string& folder) {
  ExportedIpaFiles found;
  found.folder_ = folder;
  const std::unique_ptr<DIR, int (*)(DIR*)> directory(::opendir(folder.c_str()), &::closedir);
  if (!directory) return found;
  while (const dirent* entry = ::readdir(directory.get())) {
    const std::string name = entry->d_name;
    struct stat status {};
    if (!hasIpaExtension(name) || ::stat((folder + name).c_str(), &status) != 0 || !S_ISREG(status.st_mode))
      continue;
#ifdef __APPLE__
    const timespec modified = status.st_mtimespec;
#else
    const timespec modified = status.st_mtim;
#endif
    found.files_[name] =
        Stamp{static_cast<unsigned long long>(status.st_ino), static_cast<long long>(status.st_size),
              static_cast<long long>(modified.tv_sec), static_cast<long>(modified.tv_nsec)};
  }
  return found;
}

std::vector<std::string> ExportedIpaFiles::madeSince(const ExportedIpaFiles& before) const {
  std::vector<std::string> made;
  for (const auto& [name, stamp] : files_) {
    const auto earlier = before.files_.find(name);
    if (earlier == before.files_.end() || !(earlier->second == stamp)) made.push_back(folder_ + name);
  }
  return made;
}

}  // namespace korvaster
