// What makes a readable name a Swift identifier, and a text a Swift string literal, for the
// file `ids --format swift` writes; and the scopes in which each name must be unique.
#pragma once

#include <set>
#include <string>
#include <string_view>

namespace korvaster {

enum class SwiftNameKind { member, type };

// `name` as a Swift identifier: characters that stand in no name (isNameCharacter: symbols,
// emoji, punctuation) are dropped and part words (the next ASCII letter is capitalised), a
// name that would start with a digit or combining mark gets a leading "_", a type's first
// letter is capitalised. A reserved word is
// put in backquotes; the few names backquotes do not save ("self", "Type", "init", ...) get a
// trailing "_" instead. Bytes that are not UTF-8 are dropped. Empty when nothing is left.
std::string swiftIdentifier(std::string_view name, SwiftNameKind kind);

// `text` as a Swift string literal with its quotes: backslash, quote and control characters
// escaped, bytes that are not UTF-8 replaced by U+FFFD.
std::string swiftStringLiteral(std::string_view text);

// `text` fit for the rest of a `//` comment line: control characters escaped, bytes that are not
// UTF-8 replaced by U+FFFD.
std::string swiftCommentText(std::string_view text);

// The names taken in one Swift scope.
class SwiftScope {
 public:
  explicit SwiftScope(SwiftNameKind kind) : kind_(kind) {}

  // A unique identifier for `name` in this scope (as swiftIdentifier; "unnamed" when nothing
  // is left). A name already taken gets "_" and the letters and digits of `suffix`, then "_2",
  // "_3", ... until it is free.
  std::string claim(std::string_view name, std::string_view suffix);

 private:
  SwiftNameKind kind_;
  std::set<std::string, std::less<>> taken_;
};

}  // namespace korvaster
