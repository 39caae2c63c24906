// DeletionGuard: the last line of defence against removing what must never go. Whatever a
// caller asks, no removal in this process takes "/", the home folder, the current
// directory, a protected folder or anything that holds one of them.
#pragma once

#include <optional>
#include <string>

namespace korvaster::files {

class DeletionGuard {
 public:
  // Protects the folder at `path` (by its real path) and every folder that holds it. Paths
  // that do not exist are ignored.
  static void protect(const std::string& path);

  // Why `path` must not be removed, or nothing when it may be. A link is judged as itself,
  // not by what it points to; a path whose last component is "." or ".." is always refused.
  static std::optional<std::string> refusal(const std::string& path);

  // Forgets every protected folder; for tests only.
  static void resetForTesting();
};

}  // namespace korvaster::files
