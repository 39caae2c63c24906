// The .ipa files in a build folder, taken before and after an export, to tell which ones
// the export made or replaced: the folder keeps those of earlier runs too.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "files/file_manager.h"

namespace korvaster {

class ExportedIpaFiles {
 public:
  // The regular .ipa files directly in `folder` (a path ending with "/") in `system` now; none
  // when the folder cannot be read.
  static ExportedIpaFiles in(const files::FileManager& system, const std::string& folder);

  // The paths, in name order, of the files here that `before` did not have, or had with
  // another size, modification time or file.
  std::vector<std::string> madeSince(const ExportedIpaFiles& before) const;

 private:
  struct Stamp {
    unsigned long long inode = 0;
    long long size = 0;
    long long modifiedSeconds = 0;
    long nanoseconds = 0;
    bool operator==(const Stamp& other) const {
      return inode == other.inode && size == other.size && modifiedSeconds == other.modifiedSeconds &&
             nanoseconds == other.nanoseconds;
    }
  };
  std::string folder_;
  std::map<std::string, Stamp> files_;
};

}  // namespace korvaster
