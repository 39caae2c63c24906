// PosixOpenedFolder: OpenedFolder on the real disk, a folder descriptor and the calls relative
// to it (openat, fstatat, renameat, unlinkat). It owns its descriptor.
#pragma once

#include <memory>
#include <string>

#include "files/opened_folder.h"

namespace korvaster::files {

class PosixOpenedFolder final : public OpenedFolder {
 public:
  // Opens the folder at `path` (links in the path are followed: it is where the caller
  // starts). Throws FileIOError(readFailed) when no folder can be opened there.
  static std::shared_ptr<PosixOpenedFolder> open(const std::string& path);
  // Takes `descriptor`, a folder opened by `shownPath`.
  PosixOpenedFolder(int descriptor, std::string shownPath, ItemIdentity identity);
  ~PosixOpenedFolder() override;
  PosixOpenedFolder(const PosixOpenedFolder&) = delete;
  PosixOpenedFolder& operator=(const PosixOpenedFolder&) = delete;

  ItemIdentity identity() const override { return identity_; }
  const std::string& shownPath() const override { return shownPath_; }
  int openChild(std::string_view name, std::shared_ptr<OpenedFolder>& child) const override;
  int list(std::vector<std::string>& names) const override;
  int statusOf(std::string_view name, ItemStatus& status) const override;
  int removeEntry(std::string_view name, bool folder) const override;
  int setMode(std::string_view name, unsigned mode) const override;
  int makeFolder(std::string_view name, unsigned mode) const override;
  int makeLink(std::string_view name, const std::string& target) const override;
  int readLink(std::string_view name, std::string& target) const override;
  // Both: EXDEV when `destination` is not a folder of the real disk.
  int moveEntry(std::string_view name, const OpenedFolder& destination, std::string_view toName) const override;
  int copyFile(std::string_view name, const OpenedFolder& destination, unsigned mode,
               bool& sourceFailed) const override;
  std::string readContents(std::string_view name, std::size_t maximumSize) const override;
  std::unique_ptr<ContentsReplacement> replaceContents(std::string_view name, ContentsReplacement::Mode mode,
                                                       std::string_view original) const override;
  int removeAbandonedTemporaries() const override;

  int descriptor() const { return descriptor_; }

 private:
  std::string childPath(std::string_view name) const;

  int descriptor_;
  std::string shownPath_;
  ItemIdentity identity_;
};

}  // namespace korvaster::files
