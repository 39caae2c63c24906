#pragma once

namespace korvaster::testing {

// Makes the `nth` call of a C library call from now on (on any thread) fail with a chosen errno,
// while it lives. The test binary's own definitions of these calls stand in front of the C
// library's, so the code under test runs unchanged and meets the failure where the system would
// give it. On Linux only: elsewhere nothing fails. Calls: close (which frees the descriptor all
// the same), fchmod, fchown, fdopendir, fstat, fsync, ftruncate, openat, pipe, poll, read,
// renameat, unlinkat, waitpid, write.
class SystemCallFault {
 public:
  SystemCallFault(const char* call, int error, int nth = 1);
  ~SystemCallFault();
  SystemCallFault(const SystemCallFault&) = delete;
  SystemCallFault& operator=(const SystemCallFault&) = delete;

  // How many calls it has failed so far: a fault that never fired tested nothing.
  int failed() const;
};

}  // namespace korvaster::testing
