// Locks on the real disk: flock on an open descriptor, released by the system when the process
// ends, however it ends.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "files/file_lock.h"

namespace korvaster::files {

// The lock, or nothing when another process holds it. Throws FileIOError(lockFailed)
// when the target cannot be opened.
std::optional<FileLock> tryAcquirePosixLock(const std::string& path, FileLock::Target target);
// Waits for the lock; `onWait` is called once, before waiting, when another process holds
// it. Throws support::Interrupted when a signal ends the wait, FileIOError otherwise.
FileLock acquirePosixLock(const std::string& path, FileLock::Target target, const std::function<void()>& onWait);

}  // namespace korvaster::files
