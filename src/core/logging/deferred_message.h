// A log message that is built only when a line is actually written.
#pragma once

#include <functional>
#include <ostream>
#include <sstream>
#include <string>
#include <string_view>
#include <type_traits>

namespace korvaster {

using DeferredMessage = std::function<std::string()>;

namespace detail {
// Text shows as itself; other values show the way they print.
template <typename Value>
std::string describe(const Value& value) {
  if constexpr (std::is_convertible_v<const Value&, std::string_view>) {
    return std::string(std::string_view(value));
  } else if constexpr (std::is_same_v<Value, bool>) {
    return value ? "true" : "false";
  } else {
    std::ostringstream text;
    text << value;
    return text.str();
  }
}
}  // namespace detail

// Wraps a callable that returns any printable value into a DeferredMessage.
template <typename Producer>
DeferredMessage deferred(Producer&& producer) {
  return [producer = std::forward<Producer>(producer)]() { return detail::describe(producer()); };
}

}  // namespace korvaster
