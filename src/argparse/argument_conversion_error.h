// The failure of turning one argument text into a value of an option's kind.
#pragma once

#include <string>

#include "support/error.h"

namespace korvaster::argparse {

class ArgumentConversionError final : public support::Error {
 public:
  enum class Case { unknown, typeMismatch, custom };

  static ArgumentConversionError unknown(std::string value);
  static ArgumentConversionError typeMismatch(std::string value, std::string expectedType);
  static ArgumentConversionError custom(std::string text);

  Case errorCase() const { return case_; }
  // "unknown value 'V'", "'V' is not convertible to T", or the custom text itself.
  std::string description() const;

  std::string domain() const override { return "korvaster.ArgumentConversionError"; }
  int code() const override { return static_cast<int>(case_); }
  std::optional<std::string> ownDescription() const override { return description(); }

 private:
  ArgumentConversionError(Case errorCase, std::string text, std::string expectedType);

  Case case_;
  std::string text_;
  std::string expectedType_;
};

}  // namespace korvaster::argparse
