// Failures of the file-system layer, each with the path it failed on and, where the system
// gave one, its reason.
#pragma once

#include <memory>
#include <string>

#include "files/file_manager.h"
#include "support/error.h"

namespace korvaster::files {

class FileSystemItem;

class PathError final : public support::Error {
 public:
  enum class Case { empty, invalid, homeNotFound };

  static PathError empty() { return PathError(Case::empty, {}); }
  static PathError invalid(std::string path, std::string reason = {}) {
    PathError error(Case::invalid, std::move(path));
    error.reason_ = std::move(reason);
    return error;
  }
  static PathError homeNotFound() { return PathError(Case::homeNotFound, {}); }

  Case errorCase() const { return case_; }
  const std::string& path() const { return path_; }
  // "Empty path given", "Invalid path given: PATH", or why the home folder is missing.
  std::string description() const;
  // What was found at an invalid path, e.g. "it is a file, not a folder"; empty when not known.
  const std::string& reason() const { return reason_; }

  std::string domain() const override { return "korvaster.FileSystem.Item.PathError"; }
  int code() const override { return static_cast<int>(case_); }
  std::optional<std::string> ownDescription() const override { return description(); }

 private:
  PathError(Case errorCase, std::string path) : case_(errorCase), path_(std::move(path)) {}

  Case case_;
  std::string path_;
  std::string reason_;
};

class FolderError final : public support::Error {
 public:
  enum class Case { creatingFolderFailed };

  static FolderError creatingFolderFailed(std::string path, std::string reason) {
    return FolderError(std::move(path), std::move(reason));
  }
  Case errorCase() const { return Case::creatingFolderFailed; }
  const std::string& path() const { return path_; }

  std::string domain() const override { return "korvaster.Folder.Error"; }
  int code() const override { return 0; }
  // "could not create PATH: REASON"
  std::optional<std::string> ownDescription() const override { return "could not create " + path_ + ": " + reason_; }

 private:
  FolderError(std::string path, std::string reason) : path_(std::move(path)), reason_(std::move(reason)) {}

  std::string path_;
  std::string reason_;
};

class OperationError final : public support::Error {
 public:
  enum class Case { copyFailed, deleteFailed };

  // `item` is the source of a failed copy, or the item that could not be deleted; `failure`
  // says where inside it the operation failed and why.
  OperationError(Case errorCase, std::shared_ptr<const FileSystemItem> item, Failure failure = {})
      : case_(errorCase), item_(std::move(item)), failure_(std::move(failure)) {}

  Case errorCase() const { return case_; }
  const FileSystemItem& item() const { return *item_; }
  const Failure& failure() const { return failure_; }

  std::string domain() const override { return "korvaster.FileSystem.Item.OperationError"; }
  int code() const override { return static_cast<int>(case_); }
  // "could not copy PATH: REASON" or "could not delete PATH: REASON".
  std::optional<std::string> ownDescription() const override;

 private:
  Case case_;
  std::shared_ptr<const FileSystemItem> item_;
  Failure failure_;
};

}  // namespace korvaster::files
