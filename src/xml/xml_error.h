// Failures of the XML layer: XmlError for the tree's own cases, XmlSyntaxError for input
// the event parser rejected, with where it stopped.
#pragma once

#include <string>

#include "support/error.h"

namespace korvaster::xml {

class XmlError final : public support::Error {
 public:
  enum class Case { elementNotFound, rootElementMissing, parsingFailed };

  explicit XmlError(Case errorCase) : case_(errorCase) {}
  static XmlError elementNotFound() { return XmlError(Case::elementNotFound); }
  static XmlError rootElementMissing() { return XmlError(Case::rootElementMissing); }
  static XmlError parsingFailed() { return XmlError(Case::parsingFailed); }

  Case errorCase() const { return case_; }
  bool operator==(const XmlError& other) const { return case_ == other.case_; }
  bool operator!=(const XmlError& other) const { return case_ != other.case_; }

  std::string domain() const override { return "korvaster.XmlError"; }
  int code() const override { return static_cast<int>(case_); }

 private:
  Case case_;
};

class XmlSyntaxError final : public support::Error {
 public:
  XmlSyntaxError(int parserCode, std::string message, unsigned long line, unsigned long column)
      : parserCode_(parserCode), message_(std::move(message)), line_(line), column_(column) {}

  unsigned long line() const { return line_; }
  unsigned long column() const { return column_; }
  const std::string& message() const { return message_; }
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
