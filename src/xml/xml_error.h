// Failures of the XML layer: XmlError when the event parser failed without a reason,
// XmlSyntaxError for input it rejected, with where it stopped.
#pragma once

#include <string>

#include "support/error.h"

namespace korvaster::xml {

class XmlError final : public support::Error {
 public:
  // The number is part of the printed description, so it keeps its value.
  enum class Case { parsingFailed = 2 };

  explicit XmlError(Case errorCase) : case_(errorCase) {}
  static XmlError parsingFailed() { return XmlError(Case::parsingFailed); }

  Case errorCase() const { return case_; }

  std::string domain() const override { return "korvaster.XmlError"; }
  int code() const override { return static_cast<int>(case_); }

 private:
  Case case_;
};

class XmlSyntaxError final : public support::Error {
 public:
  XmlSyntaxError(int parserCode, std::string message, unsigned long line, unsigned long column)
      : parserCode_(parserCode), message_(std::move(message)), line_(line), column_(column) {}

  // Where the parser stopped, counted from 1.
  unsigned long line() const { return line_; }
  // "XML syntax error at line 12, column 4: mismatched tag"
  std::string description() const {
    return "XML syntax error at line " + std::to_string(line_) + ", column " + std::to_string(column_) +
           ": " + message_;
  }

  std::string domain() const override { return "korvaster.XmlSyntaxError"; }
  int code() const override { return parserCode_; }
  std::optional<std::string> ownDescription() const override { return description(); }

 private:
  int parserCode_;
  std::string message_;
  unsigned long line_;
  unsigned long column_;
};

}  // namespace korvaster::xml
