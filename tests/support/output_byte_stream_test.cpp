#include "support/output_byte_stream.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

namespace korvaster::support {
namespace {

std::string drain(int fileDescriptor) {
  std::string text;
  char buffer[4096];
  ssize_t count;
  while ((count = ::read(fileDescriptor, buffer, sizeof buffer)) > 0) text.append(buffer, static_cast<size_t>(count));
  return text;
}

TEST(FileDescriptorOutputStreamTest, HoldsBytesUntilFlushed) {
  int fds[2];
  ASSERT_EQ(::pipe(fds), 0);
  {
    FileDescriptorOutputStream stream(fds[1]);
    stream << "OVERVIEW: " << "x";
    stream.append("\n");
    stream.flush();
    stream << "tail";  // written by the destructor
  }
  ::close(fds[1]);
  EXPECT_EQ(drain(fds[0]), "OVERVIEW: x\ntail");
  ::close(fds[0]);
}

TEST(FileDescriptorOutputStreamTest, WritesLargeOutputCompletely) {
  char path[] = "/tmp/korvaster-stream-XXXXXX";
  const int file = ::mkstemp(path);
  ASSERT_GE(file, 0);
  const std::string chunk(1000, 'k');
  {
    FileDescriptorOutputStream stream(file);
    for (int i = 0; i < 300; ++i) stream << chunk;
  }
  ASSERT_EQ(::lseek(file, 0, SEEK_SET), 0);
  EXPECT_EQ(drain(file).size(), 300u * 1000u);
  ::close(file);
  ::unlink(path);
}

}  // namespace
}  // namespace korvaster::support
