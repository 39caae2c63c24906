#include "files/file_io_error.h"

#include <cstring>

namespace korvaster::files {

FileIOError::FileIOError(Case errorCase, std::string path, int systemError)
    : FileIOError(errorCase, std::move(path), std::string(std::strerror(systemError))) {
  systemError_ = systemError;
}

FileIOError::FileIOError(Case errorCase, std::string path, std::string reason)
    : case_(errorCase), path_(std::move(path)), reason_(std::move(reason)) {}

std::string FileIOError::description() const {
  const char* verb = case_ == Case::readFailed ? "read " : case_ == Case::writeFailed ? "write " : "lock ";
  return std::string("could not ") + verb + path_ + ": " + reason_;
}

}  // namespace korvaster::files
