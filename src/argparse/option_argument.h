// Registered options. OptionArgument<T> is both the parser's record of an option and the
// handle that registration returns and Result::get() takes; T is the option's kind.
#pragma once

#include <optional>
#include <string>
#include <type_traits>
#include <utility>
#include <variant>
#include <vector>

#include "argparse/argument_conversion_error.h"

namespace korvaster::argparse {

// A stored option value: text, boolean, or the texts of an option that may be given again.
using TextList = std::vector<std::string>;
using ArgumentValue = std::variant<std::string, bool, TextList>;

template <typename T>
struct ArgumentKind;

template <>
struct ArgumentKind<std::string> {
  static std::string convert(const std::string& text) { return text; }
};

// Each occurrence adds its text to those given before.
template <>
struct ArgumentKind<TextList> {
  static TextList convert(const std::string& text) { return {text}; }
};

template <>
struct ArgumentKind<bool> {
  // Exactly "true" or "false"; anything else throws ArgumentConversionError::unknown.
  static bool convert(const std::string& text) {
    if (text == "true") return true;
    if (text == "false") return false;
    throw ArgumentConversionError::unknown(text);
  }
};

// The kind-erased view the parser keeps of every option it has registered.
class AnyArgument {
 public:
  AnyArgument(std::string name, std::optional<std::string> shortName, std::string usage)
      : name_(std::move(name)), shortName_(std::move(shortName)), usage_(std::move(usage)) {}
  virtual ~AnyArgument() = default;
  AnyArgument(const AnyArgument&) = delete;
  AnyArgument& operator=(const AnyArgument&) = delete;

  const std::string& name() const { return name_; }
  const std::optional<std::string>& shortName() const { return shortName_; }
  const std::string& usage() const { return usage_; }

  // A boolean option given bare means true and never consumes the next word.
  virtual bool isBoolean() const = 0;
  // Converts one argument text to the option's kind; throws ArgumentConversionError.
  virtual ArgumentValue convert(const std::string& text) const = 0;

 private:
  std::string name_;
  std::optional<std::string> shortName_;
  std::string usage_;
};

template <typename T>
class OptionArgument final : public AnyArgument {
 public:
  using AnyArgument::AnyArgument;

  bool isBoolean() const override { return std::is_same_v<T, bool>; }
  ArgumentValue convert(const std::string& text) const override { return ArgumentKind<T>::convert(text); }
};

}  // namespace korvaster::argparse
