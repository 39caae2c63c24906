#include "support/json_writer.h"

#include <cstdio>

#include "support/utf8.h"

namespace korvaster::support {

namespace {

constexpr const char* kReplacementCharacter = "\\ufffd";

}  // namespace

std::string jsonQuoted(std::string_view text) {
  std::string quoted = "\"";
  quoted.reserve(text.size() + 2);
  while (!text.empty()) {
    const auto character = static_cast<unsigned char>(text.front());
    std::size_t taken = 1;
    if (character == '"' || character == '\\') {
      quoted += '\\';
      quoted += static_cast<char>(character);
    } else if (character == '\n') {
      quoted += "\\n";
    } else if (character == '\t') {
      quoted += "\\t";
    } else if (character == '\r') {
      quoted += "\\r";
    } else if (character < 0x20) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", character);
      quoted += escaped;
    } else if (character < 0x80) {
      quoted += static_cast<char>(character);
    } else if ((taken = utf8SequenceLength(text)) > 0) {
      quoted.append(text.substr(0, taken));
    } else {
      taken = 1;
      quoted += kReplacementCharacter;
    }
    text.remove_prefix(taken);
  }
  return quoted + "\"";
}

void JsonWriter::newLine() {
  text_ += '\n';
  text_.append(2 * hasMembers_.size(), ' ');
}

void JsonWriter::beginValue() {
  if (afterKey_) {
    afterKey_ = false;
    return;
  }
  if (hasMembers_.empty()) return;
  if (hasMembers_.back()) text_ += ',';
  hasMembers_.back() = true;
  newLine();
}

JsonWriter& JsonWriter::key(std::string_view name) {
  beginValue();
  text_ += jsonQuoted(name) + ": ";
  afterKey_ = true;
  return *this;
}

JsonWriter& JsonWriter::open(char bracket) {
  beginValue();
  text_ += bracket;
  hasMembers_.push_back(false);
  return *this;
}

JsonWriter& JsonWriter::close(char bracket) {
  const bool hadMembers = !hasMembers_.empty() && hasMembers_.back();
  if (!hasMembers_.empty()) hasMembers_.pop_back();
  if (hadMembers) newLine();
  text_ += bracket;
  if (hasMembers_.empty()) text_ += '\n';
  return *this;
}

JsonWriter& JsonWriter::value(std::string_view text) {
  beginValue();
  text_ += jsonQuoted(text);
  return *this;
}

JsonWriter& JsonWriter::value(std::int64_t number) {
  beginValue();
  text_ += std::to_string(number);
  return *this;
}

JsonWriter& JsonWriter::value(double number) {
  beginValue();
  char formatted[64];
  std::snprintf(formatted, sizeof formatted, "%.3f", number);
  text_ += formatted;
  return *this;
}

JsonWriter& JsonWriter::value(bool flag) {
  beginValue();
  text_ += flag ? "true" : "false";
  return *this;
}

JsonWriter& JsonWriter::null() {
  beginValue();
  text_ += "null";
  return *this;
}

}  // namespace korvaster::support
