#pragma once

#include <string>

namespace korvaster::testing {

// Makes a C library call fail with a chosen errno while it lives: the `nth` call from now on
// (on any thread), and the `times - 1` calls after it. The test binary's own definitions of
// these calls stand in front of the C library's, so the code under test runs unchanged and
// meets the failure where the system would give it. Calls: close (which frees the descriptor
// all the same), fchmod, fchown, fdopendir, fstat, fsync, ftruncate, openat, pipe, poll, read,
// renameat, waitpid, write.
class SystemCallFault {
 public:
  SystemCallFault(const char* call, int error, int nth = 1, int times = 1);
  ~SystemCallFault();
  SystemCallFault(const SystemCallFault&) = delete;
  SystemCallFault& operator=(const SystemCallFault&) = delete;

  // How many calls it has failed so far: a fault that never fired tested nothing.
  int failed() const;
};

}  // namespace korvaster::testing
