// PosixContentsReplacement: ContentsReplacement on the real disk, through a temporary file
// renamed over the file, or written into the file itself. Every call is relative to the
// folder the file is in, held open, so that no swap of a path can move the writes elsewhere.
#pragma once

#include <sys/stat.h>
#include <sys/types.h>

#include <optional>
#include <string>
#include <string_view>

#include "files/contents_replacement.h"

namespace korvaster::files {

// The version of the item at `path` itself (a link is not followed), or nothing.
std::optional<FileVersion> versionOf(const std::string& path);
// The version a status the system gave describes.
FileVersion versionFrom(const struct stat& status);
// Whether the group's permission bits in `mode` grant nothing the others' bits do not, so
// that a file may change group without anyone gaining or losing access.
bool groupGrantsNoMoreThanOthers(unsigned mode);
// Whether `error`, from flock, says the file system keeps no locks at all.
bool isLockingUnsupported(int error);
// The folder at `path` opened for calls relative to it (links followed); a folder this
// process may write in and search but not list is opened too. -1 with errno set on failure.
int openFolderToWriteIn(const std::string& path);

class PosixContentsReplacement final : public ContentsReplacement {
 public:
  // Nothing is written before the first block. `original` must outlive the replacement. With
  // `mayCreate` (atomically only), a missing file is created, with the bits 0644.
  PosixContentsReplacement(const std::string& path, Mode mode, std::string_view original = {},
                           bool mayCreate = false);
  // The file `name` in the folder open as `folder`, which the replacement takes and closes;
  // `shownPath` names the file in errors.
  PosixContentsReplacement(int folder, std::string name, std::string shownPath, Mode mode,
                           std::string_view original);
  // Without commit(): removes the temporary file, or writes the original contents back.
  ~PosixContentsReplacement() override;
  PosixContentsReplacement(const PosixContentsReplacement&) = delete;
  PosixContentsReplacement& operator=(const PosixContentsReplacement&) = delete;

  void requireUnchangedSince(const FileVersion& version) override { expected_ = version; }
  bool write(std::string_view block) override;
  // Also gives the new file the old one's owner, group and extended attributes; a file whose
  // owner or group this process cannot give it is left as it was.
  void commit() override;

 private:
  bool open();
  bool openTemporary();
  int keptOwnerAndAttributes();  // 0, an errno, or one of the reasons of our own
  void abandon();
  [[noreturn]] void fail(int error);

  int folder_ = -1;
  std::string name_;
  std::string shownPath_;
  Mode mode_;
  bool durable_;
  bool mayCreate_;
  std::string_view original_;
  std::string temporary_;  // its name in the folder
  int descriptor_ = -1;
  unsigned permissions_ = 0;
  // The owner and group the file had, which the file that replaces it gets too.
  uid_t owner_ = static_cast<uid_t>(-1);
  gid_t group_ = static_cast<gid_t>(-1);
  std::optional<FileVersion> expected_;
  int error_ = 0;
  std::string attribute_;  // the extended attribute that could not be kept, if any
  int attributeError_ = 0;
  bool truncated_ = false;  // the file itself has lost its old contents
  off_t written_ = 0;
  bool committed_ = false;
};

}  // namespace korvaster::files
