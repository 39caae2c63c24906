// Finding the Interface Builder files a command line names (as a commit hook or a list of
// changed files hands them over) instead of every file of the project.
#pragma once

#include <string>
#include <vector>

#include "core/filemanager/interface_builder_file_search.h"
#include "core/filemanager/project_exclusion.h"
#include "files/file.h"
#include "files/folder.h"

namespace korvaster {

// The Interface Builder files among `named` (paths as given, relative to the current
// directory), in the order named: a folder is searched as findInterfaceBuilderFiles searches
// the project, a file is taken when it is a regular file that search would take, and any
// other file is skipped without a word. A file named twice, or also inside a named folder, is
// taken once. Each path is taken where it really leads (links and ".." resolved by the disk),
// under `project`'s path and its place below the project's real folder. A path that cannot be
// looked at, that leads outside `project`, or a named file that is a link leading out of it
// (unless `exclusion` takes it), is taken nowhere and named in `notes.unreadable`; a file of a
// named folder that is a link leading out of the project in `notes.linksLeadingOut`.
std::vector<files::File> findNamedInterfaceBuilderFiles(const files::Folder& project,
                                                        const std::vector<std::string>& named,
                                                        InterfaceBuilderSearchNotes& notes,
                                                        const ProjectExclusion* exclusion = nullptr);

}  // namespace korvaster
