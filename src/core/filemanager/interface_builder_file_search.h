// Finding a project's Interface Builder files without the per-run file service, for the
// commands that only read (the service makes the working folder before anything else).
#pragma once

#include <vector>

#include "files/file.h"
#include "files/file_manager.h"
#include "files/folder.h"

namespace korvaster {

// Every regular .xib and .storyboard file below `folder` (hidden items skipped, links
// leading out of the folder never followed), in enumeration order: the files the identifier
// pass of `modify` takes from a copy of the folder.
std::vector<files::File> findInterfaceBuilderFiles(const files::Folder& folder,
                                                   const files::FileManager& system);

}  // namespace korvaster
