// PosixContentsReplacement: ContentsReplacement on the real disk, through a temporary file
// renamed over the file, or written into the file itself.
#pragma once

#include <sys/types.h>

#include <optional>
#include <string>
#include <string_view>

#include "files/contents_replacement.h"

namespace korvaster::files {

// The version of the item at `path` itself (a link is not followed), or nothing.
std::optional<FileVersion> versionOf(const std::string& path);

class PosixContentsReplacement final : public ContentsReplacement {
 public:
  // Nothing is opened before the first block. `original` must outlive the replacement. With
  // `mayCreate` (atomically only), a missing file is created, with the bits 0644.
  PosixContentsReplacement(std::string path, Mode mode, std::string_view original = {}, bool mayCreate = false);
  // Without commit(): removes the temporary file, or writes the original contents back.
  ~PosixContentsReplacement() override;
  PosixContentsReplacement(const PosixContentsReplacement&) = delete;
  PosixContentsReplacement& operator=(const PosixContentsReplacement&) = delete;

  void requireUnchangedSince(const FileVersion& version) override { expected_ = version; }
  bool write(std::string_view block) override;
  // Also gives the new file the old one's owner, where the system lets this process give it.
  void commit() override;

 private:
  bool open();
  void abandon();

  std::string path_;
  Mode mode_;
  bool durable_;
  bool mayCreate_;
  std::string_view original_;
  std::string temporary_;
  int descriptor_ = -1;
  unsigned permissions_ = 0;
  // The owner the file had, which the file that replaces it gets too where the system allows.
  uid_t owner_ = static_cast<uid_t>(-1);
  gid_t group_ = static_cast<gid_t>(-1);
  std::optional<FileVersion> expected_;
  int error_ = 0;
  bool truncated_ = false;  // the file itself has lost its old contents
  off_t written_ = 0;
  bool committed_ = false;
};

}  // namespace korvaster::files
