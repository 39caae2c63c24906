// Finding the Interface Builder files a command line names (as a commit hook or a list of
// changed files hands them over) instead of every file of the project.
#pragma once

#include <string>
#include <vector>

#include "core/filemanager/interface_builder_file_search.h"
#include "files/file.h"
#include "files/folder.h"

namespace korvaster {

// The Interface Builder files among `named` (paths as given, relative to the current
// directory), in the order named: a folder is searched as findInterfaceBuilderFiles searches
// the project, a file is taken when it is a regular file that search would take, and any
// other file is skipped without a word. A file named twice, or also inside a named folder, is
// taken once. A path that cannot be looked at, or lies outside `project`, is taken nowhere and
// named in `notes.unreadable`; a file whose real path leads out of the project (through a link
// in its place or in a folder on its way) in `notes.linksLeadingOut`.
std::vector<files::File> findNamedInterfaceBuilderFiles(const files::Folder& project,
                                                        const std::vector<std::string>& named,
                                                        InterfaceBuilderSearchNotes& notes);

}  // namespace korvaster
