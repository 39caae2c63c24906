// Carrying a file's extended attributes (tags, quarantine marks, a user's own `user.*` data,
// POSIX access control lists) over to the file that replaces it.
#pragma once

#include <string>

namespace korvaster::files {

// Copies every extended attribute of the file open as `from` onto the file open as `to`, and
// on a Mac its access control list too. Attributes the system keeps itself (`security.*` on
// Linux, the `com.apple.*` ones a Mac refuses to set) are left to it. Returns 0, or the errno of the first attribute that could not be
// copied, with its name in `failedName`.
int copyExtendedAttributes(int from, int to, std::string& failedName);

}  // namespace korvaster::files
