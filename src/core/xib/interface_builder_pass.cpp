#include "core/xib/interface_builder_pass.h"

#include <map>
#include <optional>

#include "files/file_io_error.h"
#include "files/path_text.h"
#include "support/interruption.h"
#include "support/ordered_batch.h"
#include "support/worker_pool.h"

namespace korvaster {

InterfaceBuilderPass::InterfaceBuilderPass(const files::FileManager& system, std::vector<std::string> paths,
                                           std::shared_ptr<files::OpenedFolder> root)
    : realPaths_(std::move(paths)), root_(std::move(root)) {
  if (const auto real = root_ ? system.realPath(root_->shownPath()) : std::nullopt)
    rootPath_ = files::withoutTrailingSlashes(*real) + "/";
  // Many files share a folder: its real path is found once, and a file that is not itself a
  // link is found in it under its own name.
  std::map<std::string, std::optional<std::string>> realFolders;
  std::map<std::string, std::size_t> taskOfPath;
  for (std::size_t index = 0; index < realPaths_.size(); ++index) {
    std::string& path = realPaths_[index];
    if (path.empty()) {
      tasks_.push_back({index});
      continue;
    }
    if (system.isSymbolicLink(path)) {
      path = system.realPath(path).value_or(path);
    } else {
      const auto [folder, name] = files::folderAndName(path);
      auto [found, isNew] = realFolders.try_emplace(folder);
      if (isNew) found->second = system.realPath(folder);
      if (found->second) path = files::joinedPath(*found->second, name);
    }
    const auto [found, isNew] = taskOfPath.emplace(path, tasks_.size());
    if (isNew) tasks_.emplace_back();
    tasks_[found->second].push_back(index);
  }
  taskBytes_.reserve(tasks_.size());
  for (const auto& task : tasks_) {
    const std::string& path = realPaths_[task.front()];
    taskBytes_.push_back(path.empty() ? 0 : system.fileSize(path).value_or(0));
  }
}

files::FilePlace InterfaceBuilderPass::place(std::size_t index) const {
  const std::string& path = realPaths_[index];
  if (rootPath_.empty() || path.compare(0, rootPath_.size(), rootPath_) != 0) {
    throw files::FileIOError(files::FileIOError::Case::writeFailed, path,
                             "it does not lie in the project's folder");
  }
  std::shared_ptr<files::OpenedFolder> folder = root_;
  std::size_t start = rootPath_.size();
  for (std::size_t slash = path.find('/', start); slash != std::string::npos; slash = path.find('/', start)) {
    folder = folder->openFolder(std::string_view(path).substr(start, slash - start));
    start = slash + 1;
  }
  return {std::move(folder), path.substr(start)};
}

void InterfaceBuilderPass::run(std::size_t workers, const std::function<void(std::size_t)>& job,
                               const std::function<void(std::size_t)>& deliver) const {
  // An entry is delivered once its task and every task before it are: the tasks come in the
  // order of their first entries, so every entry before the next task's first is done then.
  std::size_t delivered = 0;
  support::runInOrderWithinBudget(
      taskBytes_, workers,
      [&](std::size_t task) {
        for (const std::size_t index : tasks_[task]) job(index);
      },
      [&](std::size_t task) {
        const std::size_t end = task + 1 < tasks_.size() ? tasks_[task + 1].front() : realPaths_.size();
        for (; delivered < end; ++delivered) deliver(delivered);
      },
      [] { return support::pendingInterruption() != 0; });
  if (!realPaths_.empty()) support::throwIfInterrupted();
}

}  // namespace korvaster
