// Which characters make up the words of a name: letters, digits and combining marks of any
// script, as Swift takes them in identifiers, less the symbols, emoji and punctuation that Swift
// also takes but that no reader of a name recognises as part of a word. Shared by the readable
// names of views and by the Swift identifiers made from them, so that both part words alike.
#pragma once

#include <string>
#include <string_view>

namespace korvaster {

// Whether `c` may start a name: a letter of any script or "_".
bool isNameHead(char32_t c);

// Whether `c` may stand in a name: a head, an ASCII digit or a digit or combining mark of any
// script.
bool isNameCharacter(char32_t c);

// Appends the UTF-8 form of `c` to `out`.
void appendUtf8(std::string& out, char32_t c);

constexpr char32_t kReplacementCharacter = 0xFFFD;

}  // namespace korvaster
