#include "core/xib/swift_names.h"

#include <cstdint>
#include <cstdio>
#include <optional>

#include "support/utf8.h"

namespace korvaster {

namespace {

struct Range {
  char32_t first, last;
};

bool inRanges(char32_t value, std::initializer_list<Range> ranges) {
  for (const Range& range : ranges) {
    if (value >= range.first && value <= range.last) return true;
  }
  return false;
}

// The characters Swift takes at the start of an identifier, less the invisible ones (soft
// hyphen, zero-width and direction marks) that would make a name look like another.
bool isIdentifierHead(char32_t c) {
  if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_') return true;
  if (c < 0x80) return false;
  if (c >= 0x10000) return (c & 0xFFFF) <= 0xFFFD && c <= 0xEFFFD;
  return inRanges(c,
                  {{0xA8, 0xA8},     {0xAA, 0xAA},     {0xAF, 0xAF},     {0xB2, 0xB5},     {0xB7, 0xBA},
                   {0xBC, 0xBE},     {0xC0, 0xD6},     {0xD8, 0xF6},     {0xF8, 0x2FF},    {0x370, 0x167F},
                   {0x1681, 0x180D}, {0x180F, 0x1DBF}, {0x1E00, 0x1FFF}, {0x203F, 0x2040}, {0x2054, 0x2054},
                   {0x2070, 0x20CF}, {0x2100, 0x218F}, {0x2460, 0x24FF}, {0x2776, 0x2793}, {0x2C00, 0x2DFF},
                   {0x2E80, 0x2FFF}, {0x3004, 0x3007}, {0x3021, 0x302F}, {0x3031, 0x303F}, {0x3040, 0xD7FF},
                   {0xF900, 0xFD3D}, {0xFD40, 0xFDCF}, {0xFDF0, 0xFE1F}, {0xFE30, 0xFE44}, {0xFE47, 0xFEFE},
                   {0xFF00, 0xFFFD}});
}

bool isIdentifierCharacter(char32_t c) {
  return isIdentifierHead(c) || (c >= '0' && c <= '9') ||
         inRanges(c, {{0x300, 0x36F}, {0x1DC0, 0x1DFF}, {0x20D0, 0x20FF}, {0xFE20, 0xFE2F}});
}

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

void appendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

constexpr char32_t kReplacement = 0xFFFD;

// Calls `each` with every code point of `text`, U+FFFD for each byte that is not UTF-8.
template <typename Each>
void forEachCodePoint(std::string_view text, Each&& each) {
  for (std::size_t at = 0; at < text.size();) {
    const auto decoded = support::decodeUtf8(text.substr(at));
    each(decoded ? decoded->codePoint : kReplacement, decoded.has_value());
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
    if (!valid || !isIdentifierCharacter(c)) {
      startsWord = true;
      return;
    }
    if (first && !isIdentifierHead(c)) out += '_';
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
