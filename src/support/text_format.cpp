#include "support/text_format.h"

namespace korvaster::support {

std::string replacingFirst(std::string format, std::string_view placeholder, std::string_view value) {
  const auto at = format.find(placeholder);
  if (at != std::string::npos) format.replace(at, placeholder.size(), value);
  return format;
}

}  // namespace korvaster::support
