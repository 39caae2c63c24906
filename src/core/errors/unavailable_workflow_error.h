// Raised by a run step whose workflow this build of the tool does not have yet, so that
// it never reports success for work it did not do.
#pragma once

#include <string>

#include "support/error.h"

namespace korvaster {

class UnavailableWorkflowError final : public support::Error {
 public:
  explicit UnavailableWorkflowError(std::string work) : work_(std::move(work)) {}

  std::string domain() const override { return "korvaster.UnavailableWorkflowError"; }
  int code() const override { return 0; }
  std::optional<std::string> ownDescription() const override {
    return "This version of korvaster cannot do " + work_ + " yet.";
  }

 private:
  std::string work_;
};

}  // namespace korvaster
