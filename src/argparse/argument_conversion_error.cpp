#include "argparse/argument_conversion_error.h"

#include <utility>

namespace korvaster::argparse {

ArgumentConversionError::ArgumentConversionError(Case errorCase, std::string text, std::string expectedType)
    : case_(errorCase), text_(std::move(text)), expectedType_(std::move(expectedType)) {}

ArgumentConversionError ArgumentConversionError::unknown(std::string value) {
  return {Case::unknown, std::move(value), {}};
}

ArgumentConversionError ArgumentConversionError::typeMismatch(std::string value, std::string expectedType) {
  return {Case::typeMismatch, std::move(value), std::move(expectedType)};
}

ArgumentConversionError ArgumentConversionError::custom(std::string text) {
  return {Case::custom, std::move(text), {}};
}

std::string ArgumentConversionError::description() const {
  switch (case_) {
    case Case::unknown:
      return "unknown value '" + text_ + "'";
    case Case::typeMismatch:
      return "'" + text_ + "' is not convertible to " + expectedType_;
    case Case::custom:
      break;
  }
  return text_;
}

}  // namespace korvaster::argparse
