// The common base of every typed error the layers throw, and the generic one-sentence
// description used wherever an error is reported without knowing its type.
#pragma once

#include <exception>
#include <optional>
#include <string>

namespace korvaster::support {

class Error : public std::exception {
 public:
  // The qualified name of the error's type, e.g. "korvaster.ArgumentParserError".
  virtual std::string domain() const = 0;
  // The number of the error's case within its type.
  virtual int code() const = 0;
  // What went wrong in the error's own words, when the type has any.
  virtual std::optional<std::string> ownDescription() const { return std::nullopt; }

  const char* what() const noexcept override;

 private:
  mutable std::string whatCache_;
};

// "The operation couldn't be completed. (DOMAIN error CODE.)", followed by one space and the
// error's own description when it has one. Errors that are not ours name their C++ type
// and what() instead.
std::string genericDescription(const std::exception& error);

// The error's own description when it has one, else its generic description.
std::string plainDescription(const std::exception& error);

}  // namespace korvaster::support
