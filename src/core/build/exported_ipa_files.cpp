#include "core/build/exported_ipa_files.h"

namespace korvaster {

namespace {

bool hasIpaExtension(const std::string& name) {
  static const std::string kExtension = ".ipa";
  return name.size() > kExtension.size() &&
         name.compare(name.size() - kExtension.size(), kExtension.size(), kExtension) == 0;
}

}  // namespace

ExportedIpaFiles ExportedIpaFiles::in(const files::FileManager& system, const std::string& folder) {
  ExportedIpaFiles found;
  found.folder_ = folder;
  const auto names = system.contentsOfDirectory(folder);
  if (!names) return found;
  for (const auto& name : *names) {
    if (!hasIpaExtension(name)) continue;
    const auto status = system.status(folder + name, true);
    if (!status || status->kind != files::ItemStatus::Kind::regular) continue;
    found.files_[name] = Stamp{static_cast<unsigned long long>(status->identity.inode),
                               static_cast<long long>(status->size), status->modifiedSeconds,
                               status->modifiedNanoseconds};
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
