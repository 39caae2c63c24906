// Removal of a whole tree through opened folders, never following a link: a link is removed
// as a link, whatever it points to. However deep the tree, it holds a bounded number of
// folders open and never needs a path longer than one name. Written over the primitives of
// OpenedFolder, so that any file system, and a wrapper that fails them, reaches it.
#pragma once

#include <string>

#include "files/opened_folder.h"

namespace korvaster::files {

// Removes the item `name` in `parent` (a file, a link, or a folder with everything in it).
// Folders the owner may not write or search are opened up first, so a copy holding read-only
// folders can still be removed. Returns 0, or the errno of the first failure; removal goes on
// past a failure as far as it can. A missing item is ENOENT.
int removeTree(const OpenedFolder& parent, const std::string& name);

}  // namespace korvaster::files
