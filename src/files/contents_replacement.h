// ContentsReplacement: a file's new contents written in blocks as they are produced, put in
// place at the end; until then, or when it fails, the file keeps its old contents.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <optional>
#include <string>
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

  bool operator==(const FileVersion& other) const {
    return identity == other.identity && size == other.size && modifiedSeconds == other.modifiedSeconds &&
           modifiedNanoseconds == other.modifiedNanoseconds;
  }
  bool operator!=(const FileVersion& other) const { return !(*this == other); }
};

// The version of the item at `path` itself (a link is not followed), or nothing.
std::optional<FileVersion> versionOf(const std::string& path);

class ContentsReplacement {
 public:
  enum class Mode {
    // Into a temporary file beside the file, flushed to disk and renamed over it by commit(),
    // and the folder flushed after: readers, and the disk after a power loss, see either the
    // old or the new file.
    atomically,
    // Into the file itself, for a file no one else sees yet (one in a staging folder); the
    // caller holds its `original` contents, which are written back when the replacement fails.
    inPlace,
  };

  // Nothing is opened before the first block. `original` must outlive the replacement. With
  // `mayCreate` (atomically only), a missing file is created, with the bits 0644.
  ContentsReplacement(std::string path, Mode mode, std::string_view original = {}, bool mayCreate = false);
  // Without commit(): removes the temporary file, or writes the original contents back.
  ~ContentsReplacement();
  ContentsReplacement(const ContentsReplacement&) = delete;
  ContentsReplacement& operator=(const ContentsReplacement&) = delete;

  // Atomically only: commit() puts nothing in place, and fails, when the file is no longer at
  // `version` (someone changed it after it was read): their change is not to be lost.
  void requireUnchangedSince(const FileVersion& version) { expected_ = version; }

  // Appends a block; false once a write failed (commit() then says why).
  bool write(std::string_view block);
  // Finishes the file with the old one's permission bits (and its owner, where the system
  // lets this process give it) and puts it in place. Throws
  // FileIOError(writeFailed) after undoing everything, when any step (or an earlier write)
  // failed, or when the path names a link or anything else but a regular file.
  void commit();

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
