// The entries a read-only command (check, ids) goes through: the project's Interface Builder
// files that are not excluded, then each folder that could not be listed, with the paths they
// are shown by.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/options/argument.h"
#include "files/file_manager.h"

namespace korvaster {

struct ReadOnlyEntry {
  // The file to read; empty for a folder that could not be listed.
  std::string path;
  // Relative to the current directory when the project lies in it, else the full path.
  std::string shownPath;
  // Relative to the project folder.
  std::string relativePath;
  // For a folder that could not be listed: "could not list SHOWN: REASON"; for a named path
  // that cannot be read: "could not read PATH: REASON". Such a folder may hold files that were
  // never read, so that the run cannot pass for a complete one.
  std::optional<std::string> error;
};

// Only the files and folders named after the options, when any were (see
// findNamedInterfaceBuilderFiles), each one that cannot be read an entry with its error; the
// project folder is then the current directory unless --path names another. Throws
// KorvastError when neither --path nor a file was given, PathError when --path names no folder.
std::vector<ReadOnlyEntry> readOnlyEntries(const Arguments& arguments,
                                           const std::shared_ptr<files::FileManager>& system);

}  // namespace korvaster
