// InterfaceBuilderPass: one run of a per-file job over a project's Interface Builder files,
// side by side on the worker pool, with each file's result handed on in the files' order.
// modify and check are such jobs; the pass owns the order, the memory budget and the files
// that are one file under two names.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "files/file_manager.h"

namespace korvaster {

class InterfaceBuilderPass {
 public:
  // Finds the real path of each of `paths` (an empty path stands for an entry with no file
  // to read, such as a folder that could not be listed) and its size. A pass that changes
  // files is given the project's `root`, held open, through which it reaches them.
  InterfaceBuilderPass(const files::FileManager& system, std::vector<std::string> paths,
                       std::shared_ptr<files::OpenedFolder> root = nullptr);

  std::size_t size() const { return realPaths_.size(); }
  // Where entry `index` is read and written: a link is followed, so that changing the file
  // keeps a link a link. Empty for an entry with no file.
  const std::string& realPath(std::size_t index) const { return realPaths_[index]; }
  // Entry `index` reached from the root, one real folder after another and never through a
  // link, so that a folder swapped for a link since the search cannot lead anywhere else.
  // Throws files::FileIOError(writeFailed) when a folder on the way is no longer one, or
  // the file does not lie in the root.
  files::FilePlace place(std::size_t index) const;

  // Runs job(i) for every entry, on up to `workers` threads, and deliver(i) in
  // ascending order of i, one at a time, each as soon as job(i) and every deliver before it are
  // done. Entries that are one file under two names are done one after the other by one
  // task, so that the second sees what the first did, as when the files are done in turn.
  // Files done side by side, and results waiting for their turn, share a memory budget of
  // about the largest file. Once an interrupting signal has arrived no further entry starts;
  // those started end (a job may stop early with support::Interrupted) and the finished are
  // delivered, then support::Interrupted is thrown. An
  // exception from job or deliver stops the pass and is rethrown.
  void run(std::size_t workers, const std::function<void(std::size_t)>& job,
           const std::function<void(std::size_t)>& deliver) const;

 private:
  std::vector<std::string> realPaths_;
  std::shared_ptr<files::OpenedFolder> root_;
  // The root's real path when the pass was made, ending with "/".
  std::string rootPath_;
  // Indices of the entries done by one task, in order; tasks in the order of their first entry.
  std::vector<std::vector<std::size_t>> tasks_;
  std::vector<std::uintmax_t> taskBytes_;
};

}  // namespace korvaster
