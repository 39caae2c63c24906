// Failures of the file-system layer. Only PathError has words of its own; the platform's
// reason is not kept in any of them.
#pragma once

#include <memory>
#include <string>

#include "support/error.h"

namespace korvaster::files {

class FileSystemItem;

class PathError final : public support::Error {
 public:
  enum class Case { empty, invalid, homeNotFound };

  static PathError empty() { return PathError(Case::empty, {}); }
  static PathError invalid(std::string path) { return PathError(Case::invalid, std::move(path)); }
  static PathError homeNotFound() { return PathError(Case::homeNotFound, {}); }

  Case errorCase() const { return case_; }
  const std::string& path() const { return path_; }
  // "Empty path given", "Invalid path given: PATH", or why the home folder is missing.
  std::string description() const;

  std::string domain() const override { return "korvaster.FileSystem.Item.PathError"; }
  int code() const override { return static_cast<int>(case_); }
  std::optional<std::string> ownDescription() const override { return description(); }

 private:
  PathError(Case errorCase, std::string path) : case_(errorCase), path_(std::move(path)) {}

  Case case_;
  std::string path_;
};

class FolderError final : public support::Error {
 public:
  enum class Case { creatingFolderFailed };

  static FolderError creatingFolderFailed() { return FolderError(); }
  Case errorCase() const { return Case::creatingFolderFailed; }

  std::string domain() const override { return "korvaster.Folder.Error"; }
  int code() const override { return 0; }
};

class OperationError final : public support::Error {
 public:
  enum class Case { copyFailed, deleteFailed };

  // `item` is the source of a failed copy, or the item that could not be deleted.
  OperationError(Case errorCase, std::shared_ptr<const FileSystemItem> item)
      : case_(errorCase), item_(std::move(item)) {}

  Case errorCase() const { return case_; }
  const FileSystemItem& item() const { return *item_; }

  std::string domain() const override { return "korvaster.FileSystem.Item.OperationError"; }
  int code() const override { return static_cast<int>(case_); }

 private:
  Case case_;
  std::shared_ptr<const FileSystemItem> item_;
};

}  // namespace korvaster::files
