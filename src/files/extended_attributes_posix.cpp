#include "files/extended_attributes_posix.h"

#include <sys/types.h>

#include <cstdint>

#if __has_include(<sys/xattr.h>)
#include <sys/xattr.h>
#elif defined(__APPLE__)
// Some cross toolchains ship the Mac's system headers without this one; the calls are the
// system library's all the same.
extern "C" {
ssize_t flistxattr(int fd, char* names, size_t size, int options);
ssize_t fgetxattr(int fd, const char* name, void* value, size_t size, uint32_t position, int options);
int fsetxattr(int fd, const char* name, const void* value, size_t size, uint32_t position, int options);
}
#endif

#ifdef __APPLE__
#include <sys/acl.h>
#endif

#include <cerrno>
#include <vector>

namespace korvaster::files {

namespace {

#ifdef __APPLE__
ssize_t listNames(int file, char* names, size_t size) { return ::flistxattr(file, names, size, 0); }
ssize_t getValue(int file, const char* name, void* value, size_t size) {
  return ::fgetxattr(file, name, value, size, 0, 0);
}
int setValue(int file, const char* name, const void* value, size_t size) {
  return ::fsetxattr(file, name, value, size, 0, 0);
}
#else
ssize_t listNames(int file, char* names, size_t size) { return ::flistxattr(file, names, size); }
ssize_t getValue(int file, const char* name, void* value, size_t size) {
  return ::fgetxattr(file, name, value, size);
}
int setValue(int file, const char* name, const void* value, size_t size) {
  return ::fsetxattr(file, name, value, size, 0);
}
#endif

// Calls `read` with a buffer until it fits: an attribute may grow between asking its size
// and reading it.
template <typename Read>
bool readGrowing(std::vector<char>& buffer, Read read) {
  for (int attempt = 0; attempt < 8; ++attempt) {
    const ssize_t size = read(nullptr, 0);
    if (size < 0) return false;
    buffer.resize(static_cast<std::size_t>(size));
    const ssize_t got = read(buffer.data(), buffer.size());
    if (got >= 0) return buffer.resize(static_cast<std::size_t>(got)), true;
    if (errno != ERANGE) return false;
  }
  return false;
}

#ifdef __APPLE__
int copyAccessControlList(int from, int to) {
  acl_t list = ::acl_get_fd_np(from, ACL_TYPE_EXTENDED);
  // No list, or a volume that keeps none: nothing to lose.
  if (list == nullptr) return errno == ENOENT || errno == ENOTSUP ? 0 : errno;
  const int result = ::acl_set_fd_np(to, list, ACL_TYPE_EXTENDED) == 0 ? 0 : errno;
  ::acl_free(list);
  return result;
}
#endif

// Whether `name` is an attribute the system sets and guards itself, which no program may copy
// (`error` is what setting it gave): a Mac's integrity protection refuses its own
// `com.apple.*` marks, such as the one a sandboxed app leaves on a file it opened.
bool isKeptBySystem(const std::string& name, int error) {
#ifdef __APPLE__
  return error == EPERM && name.compare(0, 10, "com.apple.") == 0;
#else
  static_cast<void>(name);
  static_cast<void>(error);
  return false;
#endif
}

}  // namespace

int copyExtendedAttributes(int from, int to, std::string& failedName) {
  std::vector<char> names;
  if (!readGrowing(names, [&](char* buffer, size_t size) { return listNames(from, buffer, size); })) {
    // A file system without extended attributes has none to lose.
    return errno == ENOTSUP ? 0 : errno;
  }
  std::vector<char> value;
  for (std::size_t at = 0; at < names.size();) {
    const std::string name(names.data() + at);
    at += name.size() + 1;
    if (name.empty() || name.compare(0, 9, "security.") == 0) continue;
    const bool read = readGrowing(
        value, [&](char* buffer, size_t size) { return getValue(from, name.c_str(), buffer, size); });
    if (!read || setValue(to, name.c_str(), value.data(), value.size()) != 0) {
      const int error = errno;
      if (isKeptBySystem(name, error)) continue;
      failedName = name;
      return error;
    }
  }
#ifdef __APPLE__
  if (const int error = copyAccessControlList(from, to); error != 0) {
    failedName = "its access control list";
    return error;
  }
#endif
  return 0;
}

}  // namespace korvaster::files
