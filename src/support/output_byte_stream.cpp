#include "support/output_byte_stream.h"

#include <unistd.h>

#include <cerrno>

namespace korvaster::support {

namespace {
constexpr std::size_t kFlushThreshold = 64 * 1024;

void writeAll(int fileDescriptor, const char* data, std::size_t size) {
  while (size > 0) {
    const ssize_t written = ::write(fileDescriptor, data, size);
    if (written < 0) {
      if (errno == EINTR) continue;
      return;
    }
    data += written;
    size -= static_cast<std::size_t>(written);
  }
}
}  // namespace

FileDescriptorOutputStream::FileDescriptorOutputStream(int fileDescriptor)
    : fileDescriptor_(fileDescriptor) {}

FileDescriptorOutputStream::~FileDescriptorOutputStream() { flush(); }

void FileDescriptorOutputStream::append(std::string_view text) {
  buffer_.append(text);
  if (buffer_.size() >= kFlushThreshold) flush();
}

void FileDescriptorOutputStream::flush() {
  writeAll(fileDescriptor_, buffer_.data(), buffer_.size());
  buffer_.clear();
}

OutputByteStream& stdoutStream() {
  // Never destroyed, so it stays usable from exit handlers; exitProcess() flushes it.
  static auto* stream = new FileDescriptorOutputStream(STDOUT_FILENO);
  return *stream;
}

}  // namespace korvaster::support
