#include "files/item_identity.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace korvaster::files {

namespace {

// A folder that is not readable can still be walked through: only its identity is needed.
#ifdef O_PATH
constexpr int kFolderFlags = O_PATH | O_DIRECTORY | O_CLOEXEC;
#else
constexpr int kFolderFlags = O_RDONLY | O_DIRECTORY | O_CLOEXEC;
#endif

}  // namespace

std::optional<ItemIdentity> identityOf(const std::string& path, bool ofLink) {
  struct stat status {};
  const int result = ofLink ? ::lstat(path.c_str(), &status) : ::stat(path.c_str(), &status);
  if (result != 0) return std::nullopt;
  return identityFrom(status);
}

bool isSameOrWithin(const std::string& path, const ItemIdentity& outer) {
  int folder = ::open(path.c_str(), kFolderFlags);
  if (folder < 0) return false;
  bool found = false;
  struct stat status {};
  while (::fstat(folder, &status) == 0) {
    if (identityFrom(status) == outer) {
      found = true;
      break;
    }
    const int parent = ::openat(folder, "..", kFolderFlags);
    if (parent < 0) break;
    struct stat parentStatus {};
    // The root is its own "..".
    const bool atRoot = ::fstat(parent, &parentStatus) == 0 && identityFrom(parentStatus) == identityFrom(status);
    ::close(folder);
    folder = parent;
    if (atRoot) break;
  }
  ::close(folder);
  return found;
}

}  // namespace korvaster::files
