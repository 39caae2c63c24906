#include "support/text_format.h"

#include <cstdio>

namespace korvaster::support {

std::string replacingFirst(std::string format, std::string_view placeholder, std::string_view value) {
  const auto at = format.find(placeholder);
  if (at != std::string::npos) format.replace(at, placeholder.size(), value);
  return format;
}

std::string textEscaped(std::string_view text) {
  std::string escaped;
  escaped.reserve(text.size());
  for (const char character : text) {
    const auto byte = static_cast<unsigned char>(character);
    if (byte >= 0x20 && byte != 0x7F) {
      escaped += character;
    } else if (character == '\n') {
      escaped += "\\n";
    } else if (character == '\r') {
      escaped += "\\r";
    } else if (character == '\t') {
      escaped += "\\t";
    } else {
      char code[8];
      std::snprintf(code, sizeof code, "\\x%02x", byte);
      escaped += code;
    }
  }
  return escaped;
}

std::string diagnosticLine(std::string_view path, std::optional<unsigned long> line,
                           std::optional<unsigned long> column, std::string_view severity,
                           std::string_view message) {
  std::string text = textEscaped(path);
  if (line) {
    text += ":" + std::to_string(*line);
    if (column) text += ":" + std::to_string(*column);
  }
  text += ": ";
  text += severity;
  text += ": ";
  text += textEscaped(message);
  text += "\n";
  return text;
}

}  // namespace korvaster::support
