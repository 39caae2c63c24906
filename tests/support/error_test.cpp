#include "support/error.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace korvaster::support {
namespace {

class SampleError final : public Error {
 public:
  explicit SampleError(std::optional<std::string> own) : own_(std::move(own)) {}
  std::string domain() const override { return "korvaster.SampleError"; }
  int code() const override { return 2; }
  std::optional<std::string> ownDescription() const override { return own_; }

 private:
  std::optional<std::string> own_;
};

TEST(GenericDescriptionTest, NamesDomainAndCodeThenOwnDescription) {
  EXPECT_EQ(genericDescription(SampleError(std::nullopt)),
            "The operation couldn't be completed. (korvaster.SampleError error 2.)");
  EXPECT_EQ(genericDescription(SampleError(std::string("it broke"))),
            "The operation couldn't be completed. (korvaster.SampleError error 2.) it broke");
  EXPECT_EQ(genericDescription(SampleError(std::string())),
            "The operation couldn't be completed. (korvaster.SampleError error 2.)");
}

TEST(GenericDescriptionTest, ForeignErrorsNameTheirTypeAndMessage) {
  EXPECT_EQ(genericDescription(std::runtime_error("disk on fire")),
            "The operation couldn't be completed. (std::runtime_error error 1.) disk on fire");
}

}  // namespace
}  // namespace korvaster::support
