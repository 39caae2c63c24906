#include "argparse/argument_conversion_error.h"

#include <utility>

namespace korvaster::argparse {

ArgumentConversionError::ArgumentConversionError(std::string value) : value_(std::move(value)) {}

ArgumentConversionError ArgumentConversionError::unknown(std::string value) {
  return ArgumentConversionError(std::move(value));
}

std::string ArgumentConversionError::description() const { return "unknown value '" + value_ + "'"; }

}  // namespace korvaster::argparse
