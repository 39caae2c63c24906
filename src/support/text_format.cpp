#include "support/text_format.h"

#include <cstdio>

#include "support/utf8.h"

namespace korvaster::support {

std::string replacingFirst(std::string format, std::string_view placeholder, std::string_view value) {
  const auto at = format.find(placeholder);
  if (at != std::string::npos) format.replace(at, placeholder.size(), value);
  return format;
}

std::string textEscaped(std::string_view text, std::string_view kept) {
  std::string escaped;
  escaped.reserve(text.size());
  for (std::size_t at = 0; at < text.size();) {
    const char character = text[at];
    const auto sequence = decodeUtf8(text.substr(at));
    const std::size_t length = sequence ? sequence->length : 1;
    // C0 and C1 controls and DEL act on a terminal; a byte that is not UTF-8 garbles the line.
    const bool control = !sequence || sequence->codePoint < 0x20 ||
                         (sequence->codePoint >= 0x7F && sequence->codePoint <= 0x9F);
    const auto code =
        sequence ? static_cast<unsigned>(sequence->codePoint) : static_cast<unsigned char>(character);
    at += length;
    if (!control || (length == 1 && kept.find(character) != std::string_view::npos)) {
      escaped.append(text.substr(at - length, length));
    } else if (character == '\n') {
      escaped += "\\n";
    } else if (character == '\r') {
      escaped += "\\r";
    } else if (character == '\t') {
      escaped += "\\t";
    } else {
      char written[8];
      std::snprintf(written, sizeof written, "\\x%02x", code);
      escaped += written;
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
