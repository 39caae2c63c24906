// ContentsReplacement: a file's new contents written in blocks as they are produced, put in
// place at the end; until then, or when it fails, the file keeps its old contents. Each file
// system returns its own from FileManager::replaceContents.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "files/item_identity.h"

namespace korvaster::files {

// A replacement's temporary file is named this prefix and this many random characters: short,
// so that a file whose name is near the longest allowed can still be rewritten, and the
// pattern removeAbandonedTemporaries looks for.
inline constexpr const char* kTemporaryPrefix = ".korvaster-rewrite-";
inline constexpr std::size_t kTemporaryRandomLength = 6;

// What tells one state of a file from another: which file it is, its size and when it was
// last changed.
struct FileVersion {
  ItemIdentity identity;
  off_t size = 0;
  long long modifiedSeconds = 0;
  long modifiedNanoseconds = 0;
  // The status change time as well: a program can put the modification time back after an
  // edit of the same size, but not this one.
  long long changedSeconds = 0;
  long changedNanoseconds = 0;
  // How many names the file has; not part of its state, as any new name changes the
  // status change time anyway.
  std::uintmax_t links = 1;

  bool operator==(const FileVersion& other) const {
    return identity == other.identity && size == other.size && modifiedSeconds == other.modifiedSeconds &&
           modifiedNanoseconds == other.modifiedNanoseconds && changedSeconds == other.changedSeconds &&
           changedNanoseconds == other.changedNanoseconds;
  }
  bool operator!=(const FileVersion& other) const { return !(*this == other); }
};

class ContentsReplacement {
 public:
  enum class Mode {
    // Into a temporary file beside the file, flushed to disk and put in its place by commit():
    // readers, and the disk after a power loss, see either the old or the new file.
    atomically,
    // Into the file itself, for a file no one else sees yet (one in a staging folder); the
    // caller holds its `original` contents, which are written back when the replacement fails.
    inPlace,
  };

  // Without commit(): the file keeps its old contents.
  virtual ~ContentsReplacement() = default;

  // Atomically only: commit() puts nothing in place, and fails, when the file is no longer at
  // `version` (someone changed it after it was read): their change is not to be lost.
  virtual void requireUnchangedSince(const FileVersion& version) = 0;
  // Appends a block; false once a write failed (commit() then says why).
  virtual bool write(std::string_view block) = 0;
  // Finishes the file with the old one's permission bits and puts it in place. Throws
  // FileIOError(writeFailed) after undoing everything, when any step (or an earlier write)
  // failed, or when the path names a link or anything else but a regular file.
  virtual void commit() = 0;
};

}  // namespace korvaster::files
