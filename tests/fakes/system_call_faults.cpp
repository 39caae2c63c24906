#include "fakes/system_call_faults.h"

#include <dirent.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdarg>
#include <cstring>

// The fault armed now, if any: shared by the stand-ins on every thread.
namespace {
std::atomic<const char*> gCall{nullptr};
std::atomic<int> gBefore{0};
std::atomic<int> gFailed{0};
int gError = 0;
}  // namespace

namespace korvaster::testing {

SystemCallFault::SystemCallFault(const char* call, int error, int nth) {
  gError = error;
  gBefore = nth - 1;
  gFailed = 0;
  gCall = call;
}

SystemCallFault::~SystemCallFault() { gCall = nullptr; }

int SystemCallFault::failed() const { return gFailed.load(); }

}  // namespace korvaster::testing

// The stand-ins follow glibc's declarations; elsewhere no call fails and the tests that need
// one are left out.
#if defined(__linux__)
namespace {

// Whether this call of `call` is one to fail; errno is set when it is.
bool fails(const char* call) {
  const char* armed = gCall.load();
  if (armed == nullptr || std::strcmp(armed, call) != 0 || gBefore.fetch_sub(1) != 0) return false;
  gFailed.fetch_add(1);
  errno = gError;
  return true;
}

template <typename Function>
Function* next(const char* name) {
  return reinterpret_cast<Function*>(::dlsym(RTLD_NEXT, name));
}

}  // namespace

#define KORVASTER_FAILING(result, failure, call, parameters, arguments) \
  result call parameters {                                              \
    static auto* const real = next<result parameters>(#call);           \
    return fails(#call) ? failure : real arguments;                     \
  }

extern "C" {
KORVASTER_FAILING(int, -1, fchmod, (int fd, mode_t mode) noexcept, (fd, mode))
KORVASTER_FAILING(int, -1, fchown, (int fd, uid_t owner, gid_t group) noexcept, (fd, owner, group))
KORVASTER_FAILING(int, -1, fstat, (int fd, struct stat* status) noexcept, (fd, status))
KORVASTER_FAILING(int, -1, fsync, (int fd), (fd))
KORVASTER_FAILING(int, -1, ftruncate, (int fd, off_t length) noexcept, (fd, length))
KORVASTER_FAILING(ssize_t, -1, read, (int fd, void* buffer, size_t size), (fd, buffer, size))
KORVASTER_FAILING(int, -1, renameat, (int from, const char* old, int to, const char* name) noexcept,
                  (from, old, to, name))
KORVASTER_FAILING(pid_t, -1, waitpid, (pid_t child, int* status, int options), (child, status, options))
KORVASTER_FAILING(ssize_t, -1, write, (int fd, const void* buffer, size_t size), (fd, buffer, size))
KORVASTER_FAILING(int, -1, unlinkat, (int folder, const char* name, int flags) noexcept, (folder, name, flags))
KORVASTER_FAILING(int, -1, pipe, (int fds[2]) noexcept, (fds))
KORVASTER_FAILING(int, -1, poll, (struct pollfd* fds, nfds_t count, int timeout), (fds, count, timeout))
KORVASTER_FAILING(DIR*, nullptr, fdopendir, (int fd), (fd))

// A close that fails has freed the descriptor all the same, as Linux's does.
int close(int fd) {
  static auto* const real = next<int(int)>("close");
  const int closed = real(fd);
  return fails("close") ? -1 : closed;
}

int openat(int folder, const char* name, int flags, ...) {
  static auto* const real = next<int(int, const char*, int, ...)>("openat");
  va_list rest;
  va_start(rest, flags);
  const auto mode = (flags & (O_CREAT | O_TMPFILE)) != 0 ? va_arg(rest, mode_t) : mode_t{0};
  va_end(rest);
  return fails("openat") ? -1 : real(folder, name, flags, mode);
}
}
#endif
