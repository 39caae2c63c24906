#include "support/output_byte_stream.h"

#include <unistd.h>

#include "support/standard_descriptors.h"
#include "support/write_all.h"

namespace korvaster::support {

namespace {
constexpr std::size_t kFlushThreshold = std::size_t{64} * 1024;
}  // namespace

FileDescriptorOutputStream::FileDescriptorOutputStream(int fileDescriptor)
    : fileDescriptor_(fileDescriptor) {}

FileDescriptorOutputStream::~FileDescriptorOutputStream() { flush(); }

void FileDescriptorOutputStream::append(std::string_view text) {
  buffer_.append(text);
  if (buffer_.size() >= kFlushThreshold) flush();
}

void FileDescriptorOutputStream::flush() {
  if (!buffer_.empty() && wasClosedAtStart(fileDescriptor_)) failed_ = true;
  if (!writeAll(fileDescriptor_, buffer_)) failed_ = true;
  buffer_.clear();
}

OutputByteStream& stdoutStream() {
  // Never destroyed, so it stays usable from exit handlers; every writer flushes it.
  static auto* stream = new FileDescriptorOutputStream(STDOUT_FILENO);
  return *stream;
}

}  // namespace korvaster::support
