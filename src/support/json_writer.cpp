#include "support/json_writer.h"

#include <cstdio>

namespace korvaster::support {

namespace {

constexpr const char* kReplacementCharacter = "\\ufffd";

// The length of the well-formed UTF-8 sequence at the start of `text`, or 0.
std::size_t utf8SequenceLength(std::string_view text) {
  const auto byte = [&](std::size_t index) { return static_cast<unsigned char>(text[index]); };
  const unsigned char lead = byte(0);
  std::size_t length = 0;
  unsigned char low = 0x80, high = 0xBF;  // the range of the second byte
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;   // no overlong forms
    if (lead == 0xED) high = 0x9F;  // no surrogates
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;  // nothing above U+10FFFF
  } else {
    return 0;
  }
  if (text.size() < length || byte(1) < low || byte(1) > high) return 0;
  for (std::size_t index = 2; index < length; ++index) {
    if (byte(index) < 0x80 || byte(index) > 0xBF) return 0;
  }
  return length;
}

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
