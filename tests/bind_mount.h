// A bind mount for one test: the same folder under a second path with another real path, as
// a user's mount or a container's volume gives it. Only root can make one, and only on Linux;
// elsewhere mounted() is false and the test skips what needs it.
#pragma once

#include <string>

#ifdef __linux__
#include <sys/mount.h>
#endif

namespace korvaster::testing {

class BindMount {
 public:
  BindMount([[maybe_unused]] const std::string& folder, const std::string& at) : at_(at) {
#ifdef __linux__
    mounted_ = ::mount(folder.c_str(), at.c_str(), nullptr, MS_BIND, nullptr) == 0;
#endif
  }
  ~BindMount() {
#ifdef __linux__
    // Detached, so that a test that fails with a file open there still leaves no mount behind.
    if (mounted_) ::umount2(at_.c_str(), MNT_DETACH);
#endif
  }
  BindMount(const BindMount&) = delete;
  BindMount& operator=(const BindMount&) = delete;

  bool mounted() const { return mounted_; }

 private:
  std::string at_;
  bool mounted_ = false;
};

}  // namespace korvaster::testing
