// FileCopyQueue: copies the regular files of a tree on helper threads while the thread that
// walks the tree goes on making folders and links. Creating and filling files is kernel
// work that runs side by side on a second core; the walk alone cannot keep one core busy.
// The queue is short: when it is full the walking thread copies the file itself, so memory
// stays small however large the tree.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "files/file_manager.h"
#include "files/opened_folder.h"

namespace korvaster::files {

class FileCopyQueue {
 public:
  // With no helpers every copy runs at once on the calling thread.
  explicit FileCopyQueue(std::size_t helpers);
  // Waits for the copies under way; those still queued are dropped.
  ~FileCopyQueue();
  FileCopyQueue(const FileCopyQueue&) = delete;
  FileCopyQueue& operator=(const FileCopyQueue&) = delete;

  // Copies the file `name` of `from` to the new file `name` in `to` with permission bits
  // `mode`, now or later. False once a copy has failed, or a signal asked the run to stop:
  // nothing more is copied then, and finish() tells why.
  bool add(std::shared_ptr<const OpenedFolder> from, std::string name, std::shared_ptr<const OpenedFolder> to,
           unsigned mode);
  // Waits until every added copy is done. The failure of the earliest added copy that
  // failed, or nothing when all succeeded.
  std::optional<Failure> finish();

 private:
  struct Task {
    std::size_t number;
    std::shared_ptr<const OpenedFolder> from;
    std::string name;
    std::shared_ptr<const OpenedFolder> to;
    unsigned mode;
  };

  void run(const Task& task);
  void work();
  void stopHelpers();

  std::mutex mutex_;
  std::condition_variable wake_;  // a task came, or the helpers are to stop
  std::condition_variable idle_;  // a helper finished a task
  std::deque<Task> tasks_;
  std::size_t added_ = 0;
  std::size_t running_ = 0;
  bool stopping_ = false;
  std::optional<std::pair<std::size_t, Failure>> failure_;  // the earliest failed task's
  std::vector<std::thread> helpers_;
};

}  // namespace korvaster::files
