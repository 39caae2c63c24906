// The status the system gave, as an ItemStatus.
#pragma once

#include <sys/stat.h>

#include "files/item_status.h"

namespace korvaster::files {

ItemStatus statusFrom(const struct stat& found);

}  // namespace korvaster::files
