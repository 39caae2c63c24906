// OpenedFolder: a folder held open, whose entries are reached by name through it. Whatever
// later happens to the path it was opened by (renamed, swapped for a link to somewhere else),
// every call reaches the folder that was opened, and a child folder is opened only when it is
// a real folder there, never through a link. The commands that change a project's own files
// reach them this way, so that no path swapped under a run can lead its writes out.
#pragma once

#include <cstddef>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "files/contents_replacement.h"
#include "files/item_identity.h"
#include "files/item_status.h"

namespace korvaster::files {

class OpenedFolder {
 public:
  virtual ~OpenedFolder() = default;

  // Which folder this is: its device and inode when it was opened.
  virtual ItemIdentity identity() const = 0;
  // The path it was opened by, followed by the names it was reached through; for messages
  // only, never to reach anything.
  virtual const std::string& shownPath() const = 0;

  // The primitives the policies above (tree removal, the copy, clean-up) are written over. Each
  // reaches an entry by its name in this folder, never through a link in its place ("." is the
  // folder itself), and returns 0 or the system's errno.

  // Opens the child folder `name` into `child`; a link there is refused (ELOOP or ENOTDIR).
  virtual int openChild(std::string_view name, std::shared_ptr<OpenedFolder>& child) const = 0;
  // The names of the entries, "." and ".." left out, in no particular order.
  virtual int list(std::vector<std::string>& names) const = 0;
  // What the entry `name` itself is.
  virtual int statusOf(std::string_view name, ItemStatus& status) const = 0;
  // Removes the entry `name`: an empty folder with `folder`, anything else but a folder without.
  virtual int removeEntry(std::string_view name, bool folder) const = 0;
  // Sets the permission bits of the entry `name` (for a link: of what it leads to).
  virtual int setMode(std::string_view name, unsigned mode) const = 0;
  // Makes the folder `name` with the permission bits `mode` (less the process's umask).
  virtual int makeFolder(std::string_view name, unsigned mode) const = 0;
  // Makes the link `name` leading to `target`.
  virtual int makeLink(std::string_view name, const std::string& target) const = 0;
  // Reads into `target` where the link `name` leads.
  virtual int readLink(std::string_view name, std::string& target) const = 0;
  // Moves the entry `name` to `toName` in `destination` (a folder of the same file system) in
  // one step.
  virtual int moveEntry(std::string_view name, const OpenedFolder& destination, std::string_view toName) const = 0;
  // Makes the file `name` in `destination` (a folder of the same file system, which must not
  // hold it yet) with the contents of the regular file `name` here and the permission bits
  // `mode`, the fastest way the file system offers. `sourceFailed` tells whether it was this
  // file that could not be opened, rather than the copy made or filled.
  virtual int copyFile(std::string_view name, const OpenedFolder& destination, unsigned mode,
                       bool& sourceFailed) const = 0;

  // The child folder `name`, opened only when a real folder (no link) is there. Throws
  // FileIOError(writeFailed), naming the child, when it is not.
  std::shared_ptr<OpenedFolder> openFolder(std::string_view name) const;
  // The version of the entry `name` itself (a link is not followed), or nothing.
  std::optional<FileVersion> versionOf(std::string_view name) const;
  // The bytes of the regular file `name`, at most `maximumSize` of them; never through a
  // link. Throws FileIOError(readFailed).
  virtual std::string readContents(
      std::string_view name, std::size_t maximumSize = std::numeric_limits<std::size_t>::max()) const = 0;
  // A replacement of the regular file `name` (see ContentsReplacement), made beside it in this
  // folder. May throw FileIOError(writeFailed).
  virtual std::unique_ptr<ContentsReplacement> replaceContents(std::string_view name,
                                                               ContentsReplacement::Mode mode,
                                                               std::string_view original) const = 0;
  // Removes the temporary files of replacements that a killed process left here; a temporary
  // that a live replacement still holds stays. Returns how many went.
  virtual int removeAbandonedTemporaries() const = 0;
};

// A file as the commands that change it reach it: its opened folder and its name there.
struct FilePlace {
  std::shared_ptr<OpenedFolder> folder;
  std::string name;
};

}  // namespace korvaster::files
