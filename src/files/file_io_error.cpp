#include "files/file_io_error.h"

#include <cstring>

namespace korvaster::files {

FileIOError::FileIOError(Case errorCase, std::string path, int systemError)
    : case_(errorCase), path_(std::move(path)), systemError_(systemError) {}

std::string FileIOError::description() const {
  return std::string(case_ == Case::readFailed ? "could not read " : "could not write ") + path_ + ": " +
         std::strerror(systemError_);
}

}  // namespace korvaster::files
