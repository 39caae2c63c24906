// Finding a project's Interface Builder files without the per-run file service, for the
// commands that only read (the service makes the working folder before anything else).
#pragma once

#include <string>
#include <vector>

#include "files/file.h"
#include "files/file_manager.h"
#include "files/file_system_sequence.h"
#include "files/folder.h"

namespace korvaster {

// What a search met besides the files it could take as they are.
struct InterfaceBuilderSearchNotes {
  // Folders that could not be listed or reached (no permission, a path too long): any IB
  // files in them were not found.
  files::UnlistedFolders unlistedFolders;
  // The IB files left out because they are links to a file outside the folder searched.
  std::vector<std::string> linksLeadingOut;
  // The paths named to a search of named files that could not be looked at or lie outside
  // the project, with why; as unreadable files are, each is a failed item.
  std::vector<files::Failure> unreadable;
};

// Every regular .xib and .storyboard file below `folder` (hidden items skipped, links to
// folders outside it never followed), in enumeration order: the files the identifier pass of
// `modify` takes from a copy of the folder. A file that is a link to a file outside the folder
// is left out; `notes`, when given, name it, and every folder that could not be listed.
std::vector<files::File> findInterfaceBuilderFiles(const files::Folder& folder, const files::FileManager& system,
                                                   InterfaceBuilderSearchNotes* notes = nullptr);

}  // namespace korvaster
