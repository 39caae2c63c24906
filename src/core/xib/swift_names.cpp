#include "core/xib/swift_names.h"

#include <cstdint>
#include <cstdio>
#include <optional>

#include "core/xib/name_characters.h"
#include "support/utf8.h"

namespace korvaster {

namespace {

bool isOneOf(std::string_view name, std::initializer_list<std::string_view> words) {
  for (const std::string_view word : words) {
    if (name == word) return true;
  }
  return false;
}

// Names that stay wrong in backquotes where these names go: a member or type called so
// clashes with what Swift means by it.
bool needsTrailingUnderscore(std::string_view name) {
  return isOneOf(name, {"_", "self", "Self", "Type", "Protocol", "Any", "init", "deinit", "subscript"});
}

bool isReservedWord(std::string_view name) {
  return isOneOf(name, {"associatedtype",
                        "class",
                        "enum",
                        "extension",
                        "fileprivate",
                        "func",
                        "import",
                        "inout",
                        "internal",
                        "let",
                        "open",
                        "operator",
                        "private",
                        "precedencegroup",
                        "protocol",
                        "public",
                        "rethrows",
                        "static",
                        "struct",
                        "typealias",
                        "var",
                        "break",
                        "case",
                        "catch",
                        "continue",
                        "default",
                        "defer",
                        "do",
                        "else",
                        "fallthrough",
                        "for",
                        "guard",
                        "if",
                        "in",
                        "repeat",
                        "return",
                        "throw",
                        "switch",
                        "where",
                        "while",
                        "as",
                        "await",
                        "false",
                        "is",
                        "nil",
                        "super",
                        "throws",
                        "true",
                        "try",
                        "actor",
                        "any",
                        "async",
                        "borrowing",
                        "consuming",
                        "macro",
                        "nonisolated",
                        "package",
                        "some"});
}

// Calls `each` with every code point of `text`, U+FFFD for each byte that is not UTF-8.
template <typename Each>
void forEachCodePoint(std::string_view text, Each&& each) {
  for (std::size_t at = 0; at < text.size();) {
    const auto decoded = support::decodeUtf8(text.substr(at));
    each(decoded ? decoded->codePoint : kReplacementCharacter, decoded.has_value());
    at += decoded ? decoded->length : 1;
  }
}

std::string escapedCode(const char* format, char32_t c) {
  char code[16];
  std::snprintf(code, sizeof code, format, static_cast<unsigned>(c));
  return code;
}

std::string lettersAndDigits(std::string_view text) {
  std::string kept;
  for (const char c : text) {
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) kept += c;
  }
  return kept;
}

}  // namespace

std::string swiftIdentifier(std::string_view name, SwiftNameKind kind) {
  std::string out;
  bool startsWord = false;
  bool first = true;
  forEachCodePoint(name, [&](char32_t c, bool valid) {
    if (valid && (c == '\'' || c == 0x2019)) return;
    if (!valid || !isNameCharacter(c)) {
      startsWord = true;
      return;
    }
    if (first && !isNameHead(c)) out += '_';
    if ((startsWord && !out.empty()) || (first && kind == SwiftNameKind::type)) {
      if (c >= 'a' && c <= 'z') c = c - 'a' + 'A';
    }
    appendUtf8(out, c);
    startsWord = first = false;
  });
  if (needsTrailingUnderscore(out)) return out + "_";
  if (isReservedWord(out)) return "`" + out + "`";
  return out;
}

std::string swiftStringLiteral(std::string_view text) {
  std::string out = "\"";
  forEachCodePoint(text, [&](char32_t c, bool) {
    switch (c) {
      case '\\':
        out += "\\\\";
        break;
      case '"':
        out += "\\\"";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      case 0:
        out += "\\0";
        break;
      default:
        if (c < 0x20 || c == 0x7F)
          out += escapedCode("\\u{%x}", c);
        else
          appendUtf8(out, c);
    }
  });
  return out + "\"";
}

std::string swiftCommentText(std::string_view text) {
  std::string out;
  forEachCodePoint(text, [&](char32_t c, bool) {
    if (c == '\n')
      out += "\\n";
    else if (c == '\r')
      out += "\\r";
    else if (c == '\t')
      out += "\\t";
    else if (c < 0x20 || c == 0x7F)
      out += escapedCode("\\x%02x", c);
    else
      appendUtf8(out, c);
  });
  return out;
}

std::string SwiftScope::claim(std::string_view name, std::string_view suffix) {
  std::string chosen = swiftIdentifier(name, kind_);
  if (chosen.empty()) chosen = swiftIdentifier("unnamed", kind_);
  if (taken_.insert(chosen).second) return chosen;
  // Backquotes go: a name with a suffix is no reserved word.
  const std::string base = chosen.front() == '`' ? chosen.substr(1, chosen.size() - 2) : chosen;
  const std::string letters = lettersAndDigits(suffix);
  const std::string stem = letters.empty() ? base : base + "_" + letters;
  std::string candidate = letters.empty() ? stem + "_2" : stem;
  for (int number = letters.empty() ? 3 : 2; !taken_.insert(candidate).second; ++number)
    candidate = stem + "_" + std::to_string(number);
  return candidate;
}

}  // namespace korvaster
