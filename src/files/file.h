// File: a handle on an existing file (anything that is not a folder).
#pragma once

#include <memory>
#include <string>

#include "files/file_system_item.h"

namespace korvaster::files {

class File final : public FileSystemItem {
 public:
  // Throws PathError::empty for "", PathError::invalid when no file is there.
  explicit File(std::string path, std::shared_ptr<FileManager> fileManager = nullptr)
      : FileSystemItem(std::move(path), Kind::file, std::move(fileManager)) {}

 protected:
  std::shared_ptr<const FileSystemItem> copyHandle() const override { return std::make_shared<File>(*this); }
};

}  // namespace korvaster::files
