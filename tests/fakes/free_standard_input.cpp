// The suites that link this run with descriptor 0 free, as a program started with its standard
// input closed would: the next file opened gets it, so code that takes 0 for a failure shows.
// And no test may leave a descriptor open that it did not find open.
#include <dirent.h>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

int openDescriptors() {
  DIR* listing = ::opendir("/dev/fd");
  int count = 0;
  while (listing != nullptr && ::readdir(listing) != nullptr) ++count;
  if (listing != nullptr) ::closedir(listing);
  return count;
}

class DescriptorLeakCheck final : public ::testing::EmptyTestEventListener {
  void OnTestStart(const ::testing::TestInfo&) override { before_ = openDescriptors(); }
  void OnTestEnd(const ::testing::TestInfo&) override {
    EXPECT_EQ(openDescriptors(), before_) << "a descriptor was left open, or one closed that was not its to close";
  }
  int before_ = 0;
};

[[maybe_unused]] const int gStandardInputClosed = ::close(0);
[[maybe_unused]] const bool gLeakCheckAdded = [] {
  ::testing::UnitTest::GetInstance()->listeners().Append(new DescriptorLeakCheck);
  return true;
}();

}  // namespace
