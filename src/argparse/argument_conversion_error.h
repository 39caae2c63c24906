// The failure of turning one argument text into a value of an option's kind.
#pragma once

#include <string>

#include "support/error.h"

namespace korvaster::argparse {

class ArgumentConversionError final : public support::Error {
 public:
  // The text is not a value of the option's kind.
  static ArgumentConversionError unknown(std::string value);

  // "unknown value 'V'".
  std::string description() const;

  std::string domain() const override { return "korvaster.ArgumentConversionError"; }
  int code() const override { return 0; }
  std::optional<std::string> ownDescription() const override { return description(); }

 private:
  explicit ArgumentConversionError(std::string value);

  std::string value_;
};

}  // namespace korvaster::argparse
