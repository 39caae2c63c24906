// ItemStatus: what one look at an item tells, as the primitives of every file system give it.
#pragma once

#include <cstdint>

#include "files/item_identity.h"

namespace korvaster::files {

struct ItemStatus {
  enum class Kind { regular, folder, link, pipe, device, socket, other };
  Kind kind = Kind::other;
  unsigned mode = 0;  // the permission bits
  std::uintmax_t size = 0;
  ItemIdentity identity;
  long long modifiedSeconds = 0;
  long modifiedNanoseconds = 0;
  long long changedSeconds = 0;  // the status change time
  long changedNanoseconds = 0;
  std::uintmax_t links = 1;  // how many names the item has
};

}  // namespace korvaster::files
