// Literal placeholder replacement, the way the tool fills its fixed message formats.
#pragma once

#include <string>
#include <string_view>

namespace korvaster::support {

// `format` with its first `placeholder` replaced by `value`; nothing in `value` is
// interpreted, so a "%" in a path stays as it is.
std::string replacingFirst(std::string format, std::string_view placeholder, std::string_view value);

}  // namespace korvaster::support
