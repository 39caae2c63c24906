#include "support/process_info.h"

#include <errno.h>  // program_invocation_short_name on glibc
#include <pthread.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>

#if defined(__linux__)
#include <sys/syscall.h>
#endif

namespace korvaster::support {

std::string processName() {
#ifdef __APPLE__
  const char* name = getprogname();
#else
  const char* name = program_invocation_short_name;
#endif
  return name != nullptr ? std::string(name) : std::string();
}

long long processId() { return static_cast<long long>(::getpid()); }

unsigned long long threadId() {
#if defined(__APPLE__)
  std::uint64_t id = 0;
  pthread_threadid_np(nullptr, &id);
  return id;
#elif defined(__linux__)
  return static_cast<unsigned long long>(::syscall(SYS_gettid));
#else
  return static_cast<unsigned long long>(::getpid());
#endif
}

}  // namespace korvaster::support
