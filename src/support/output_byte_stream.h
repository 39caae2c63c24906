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

  OutputByteStream& operator<<(std::string_view text) {
    append(text);
    return *this;
  }
};

// Buffers appended bytes and writes them to a file descriptor when flushed, when the
// buffer grows large, or when destroyed. Write errors (a closed pipe, a full disk) are
// dropped: there is nowhere left to report them.
class FileDescriptorOutputStream final : public OutputByteStream {
 public:
  explicit FileDescriptorOutputStream(int fileDescriptor);
  ~FileDescriptorOutputStream() override;
  FileDescriptorOutputStream(const FileDescriptorOutputStream&) = delete;
  FileDescriptorOutputStream& operator=(const FileDescriptorOutputStream&) = delete;

  void append(std::string_view text) override;
  void flush() override;

 private:
  int fileDescriptor_;
  std::string buffer_;
};

// An in-memory stream, for callers that want the text rather than the bytes on a device.
class StringOutputStream final : public OutputByteStream {
 public:
  void append(std::string_view text) override { text_.append(text); }
  void flush() override {}
  const std::string& text() const { return text_; }

 private:
  std::string text_;
};

// The buffered stream on standard output shared by everything that prints to the user.
OutputByteStream& stdoutStream();

}  // namespace korvaster::support
