// Literal placeholder replacement, the way the tool fills its fixed message formats, and the
// escapes that keep a text on one line of output.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace korvaster::support {

// `format` with its first `placeholder` replaced by `value`; nothing in `value` is
// interpreted, so a "%" in a path stays as it is.
std::string replacingFirst(std::string format, std::string_view placeholder, std::string_view value);

// A line of text output ends at its line break; a control character inside a path or a name
// would end it early, or act on the terminal, and a byte that is not UTF-8 would garble it, so
// each C0 or C1 control character and DEL is written as an escape ("\\n", "\\r", "\\t", "\\x01",
// "\\x9b" for U+009B), and so is each byte that is not UTF-8 ("\\xff"); everything else stays as
// it is, and so do the control characters in `kept`.
std::string textEscaped(std::string_view text, std::string_view kept = {});

// One diagnostic as Xcode and the editors that read its output expect it:
// "PATH:LINE:COLUMN: SEVERITY: MESSAGE" and a line break, without the line or column when they
// are not known; the path and the message escaped as textEscaped does.
std::string diagnosticLine(std::string_view path, std::optional<unsigned long> line,
                           std::optional<unsigned long> column, std::string_view severity,
                           std::string_view message);

}  // namespace korvaster::support
