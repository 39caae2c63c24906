#include "files/item_status_posix.h"

namespace korvaster::files {

ItemStatus statusFrom(const struct stat& found) {
  using Kind = ItemStatus::Kind;
  ItemStatus status;
  const auto type = found.st_mode & S_IFMT;
  status.kind = type == S_IFREG                      ? Kind::regular
                : type == S_IFDIR                    ? Kind::folder
                : type == S_IFLNK                    ? Kind::link
                : type == S_IFIFO                    ? Kind::pipe
                : type == S_IFCHR || type == S_IFBLK ? Kind::device
                : type == S_IFSOCK                   ? Kind::socket
                                                     : Kind::other;
  status.mode = static_cast<unsigned>(found.st_mode & 07777);
  status.size = static_cast<std::uintmax_t>(found.st_size);
  status.identity = identityFrom(found);
#ifdef __APPLE__
  const timespec modified = found.st_mtimespec;
  const timespec changed = found.st_ctimespec;
#else
  const timespec modified = found.st_mtim;
  const timespec changed = found.st_ctim;
#endif
  status.modifiedSeconds = static_cast<long long>(modified.tv_sec);
  status.modifiedNanoseconds = static_cast<long>(modified.tv_nsec);
  status.changedSeconds = static_cast<long long>(changed.tv_sec);
  status.changedNanoseconds = static_cast<long>(changed.tv_nsec);
  status.links = static_cast<std::uintmax_t>(found.st_nlink);
  return status;
}

}  // namespace korvaster::files
