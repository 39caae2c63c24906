// The status the system gave, as an ItemStatus and an ItemIdentity.
#pragma once

#include <sys/stat.h>

#include "files/item_status.h"

namespace korvaster::files {

// The identity in a status the system gave.
inline ItemIdentity identityFrom(const struct stat& status) {
  return ItemIdentity{status.st_dev, status.st_ino};
}

ItemStatus statusFrom(const struct stat& found);

}  // namespace korvaster::files
