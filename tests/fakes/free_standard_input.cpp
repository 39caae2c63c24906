// The suites that link this run with descriptor 0 free, as a program started with its standard
// input closed would: the next file opened gets it, so code that takes 0 for a failure shows.
// And no test may leave a descriptor open that it did not find open.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <iterator>

namespace {

std::ptrdiff_t openDescriptors() {
  return std::distance(std::filesystem::directory_iterator("/dev/fd"), std::filesystem::directory_iterator());
}

class DescriptorLeakCheck final : public ::testing::EmptyTestEventListener {
  void OnTestStart(const ::testing::TestInfo&) override { before_ = openDescriptors(); }
  void OnTestEnd(const ::testing::TestInfo&) override {
    EXPECT_EQ(openDescriptors(), before_) << "a descriptor was left open, or one closed that was not its to close";
  }
  std::ptrdiff_t before_ = 0;
};

[[maybe_unused]] const int gStandardInputClosed = ::close(0);
[[maybe_unused]] const bool gLeakCheckAdded =
    (::testing::UnitTest::GetInstance()->listeners().Append(new DescriptorLeakCheck), true);

}  // namespace
