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
  while ((count = ::read(fileDescriptor, buffer, sizeof buffer)) > 0)
    text.append(buffer, static_cast<size_t>(count));
  return text;
}

TEST(FileDescriptorOutputStreamTest, HoldsBytesUntilFlushed) {
  int fds[2];
  ASSERT_EQ(::pipe(fds), 0);
  {
    FileDescriptorOutputStream stream(fds[1]);
    stream << "OVERVIEW: "
           << "x";
    stream.append("\n");
    stream.flush();
    stream << "tail";  // written by the destructor
  }
  ::close(fds[1]);
  EXPECT_EQ(drain(fds[0]), "OVERVIEW: x\ntail");
  ::close(fds[0]);
}

}  // namespace
}  // namespace korvaster::support
