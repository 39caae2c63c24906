// Byte output streams: an interface with "append text" and "flush", and a buffered
// writer over a file descriptor. The process-wide standard-output stream lives here.
#pragma once

#include <string>
#include <string_view>

namespace korvaster::support {

class OutputByteStream {
 public:
  virtual ~OutputByteStream() = default;
  // Queues the bytes; they reach their destination no later than the next flush().
  virtual void append(std::string_view text) = 0;
  virtual void flush() = 0;
  // True once bytes could not be delivered; stays true for the life of the stream.
  virtual bool failed() const = 0;

  OutputByteStream& operator<<(std::string_view text) {
    append(text);
    return *this;
  }
};

// Buffers appended bytes and writes them to a file descriptor when flushed, when the
// buffer grows large, or when destroyed. A write error (a closed descriptor, a full disk)
// drops the pending bytes, since there is nowhere left to report it, and sets failed() so
// that the process can still end with a failure status.
class FileDescriptorOutputStream final : public OutputByteStream {
 public:
  explicit FileDescriptorOutputStream(int fileDescriptor);
  ~FileDescriptorOutputStream() override;
  FileDescriptorOutputStream(const FileDescriptorOutputStream&) = delete;
  FileDescriptorOutputStream& operator=(const FileDescriptorOutputStream&) = delete;

  void append(std::string_view text) override;
  void flush() override;
  bool failed() const override { return failed_; }

 private:
  int fileDescriptor_;
  std::string buffer_;
  bool failed_ = false;
};

// An in-memory stream, for callers that want the text rather than the bytes on a device.
class StringOutputStream final : public OutputByteStream {
 public:
  void append(std::string_view text) override { text_.append(text); }
  void flush() override {}
  bool failed() const override { return false; }
  const std::string& text() const { return text_; }

 private:
  std::string text_;
};

// The buffered stream on standard output shared by everything that prints to the user.
OutputByteStream& stdoutStream();

}  // namespace korvaster::support
