// The identity of a file-system item: its device and inode. Two paths name the same folder
// exactly when their identities are equal, whatever the spelling: a link, "..", a bind mount or
// a second mount of the same file system all give another path but the same identity.
#pragma once

#include <sys/types.h>

namespace korvaster::files {

struct ItemIdentity {
  dev_t device = 0;
  ino_t inode = 0;

  bool operator==(const ItemIdentity& other) const { return device == other.device && inode == other.inode; }
  bool operator!=(const ItemIdentity& other) const { return !(*this == other); }
  bool operator<(const ItemIdentity& other) const {
    return device < other.device || (device == other.device && inode < other.inode);
  }
};

}  // namespace korvaster::files
