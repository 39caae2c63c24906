// Removal of a whole tree relative to open folders, never following a link: a link is
// removed as a link, whatever it points to.
#pragma once

#include <string>

namespace korvaster::files {

// Removes the item at `path` (a file, a link, or a folder with everything in it). Folders
// the owner may not write or search are opened up first, so a copy holding read-only
// folders can still be removed. Returns 0, or the errno of the first failure; removal
// goes on past a failure as far as it can. A missing item is ENOENT.
int removeTree(const std::string& path);

}  // namespace korvaster::files
