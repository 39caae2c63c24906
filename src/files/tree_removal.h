// Removal of a whole tree relative to open folders, never following a link: a link is
// removed as a link, whatever it points to. However deep the tree, it holds a bounded number
// of descriptors and never needs a path longer than one name.
#pragma once

#include <string>

namespace korvaster::files {

// Removes the item at `path` (a file, a link, or a folder with everything in it). Folders
// the owner may not write or search are opened up first, so a copy holding read-only
// folders can still be removed. Returns 0, or the errno of the first failure; removal
// goes on past a failure as far as it can. A missing item is ENOENT.
int removeTree(const std::string& path);

// The same for the item `name` in the open folder `folder`, which stays open.
int removeTreeAt(int folder, const std::string& name);

}  // namespace korvaster::files
