#include "core/xib/view_names.h"

#include <vector>

namespace korvaster {

namespace {

bool isAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool isAsciiUpper(char c) { return c >= 'A' && c <= 'Z'; }
bool isAsciiLower(char c) { return c >= 'a' && c <= 'z'; }
bool isAsciiDigit(char c) { return c >= '0' && c <= '9'; }
char upper(char c) { return isAsciiLower(c) ? static_cast<char>(c - 'a' + 'A') : c; }
char lower(char c) { return isAsciiUpper(c) ? static_cast<char>(c - 'A' + 'a') : c; }

constexpr std::string_view kRightQuote = "\xE2\x80\x99";  // U+2019, the typographic apostrophe

std::vector<std::string> wordsOf(std::string_view text, std::size_t maximumWords) {
  std::vector<std::string> words;
  std::string word;
  for (std::size_t at = 0; at < text.size(); ++at) {
    const char c = text[at];
    if (c == '\'') continue;
    if (text.compare(at, kRightQuote.size(), kRightQuote) == 0) {
      at += kRightQuote.size() - 1;
      continue;
    }
    if (isAsciiLetter(c) || isAsciiDigit(c) || static_cast<unsigned char>(c) >= 0x80) {
      word += c;
    } else if (!word.empty()) {
      words.push_back(std::move(word));
      word.clear();
      if (words.size() == maximumWords) return words;
    }
  }
  if (!word.empty()) words.push_back(std::move(word));  // still fewer than the most, or it had returned
  return words;
}

std::string lettersAndDigits(std::string_view text) {
  std::string kept;
  for (const char c : text) {
    if (isAsciiLetter(c) || isAsciiDigit(c)) kept += c;
  }
  return kept;
}

std::string capitalized(std::string_view text) {
  std::string result(text);
  if (!result.empty()) result[0] = upper(result[0]);
  return result;
}

}  // namespace

std::string lowerCamelCase(std::string_view text, std::size_t maximumWords) {
  std::vector<std::string> words = wordsOf(text, maximumWords);
  if (words.empty()) return {};
  std::string& first = words.front();
  std::size_t capitals = 0;
  while (capitals < first.size() && isAsciiUpper(first[capitals])) ++capitals;
  // "URLField": the capital before a lower-case letter starts the next word.
  if (capitals > 1 && capitals < first.size() && isAsciiLower(first[capitals])) --capitals;
  for (std::size_t at = 0; at < std::max<std::size_t>(capitals, 1); ++at) first[at] = lower(first[at]);
  std::string result = first;
  for (std::size_t index = 1; index < words.size(); ++index) result += capitalized(words[index]);
  return result;
}

ViewName nameView(const ViewListing& listing, std::size_t index, std::string_view fileName) {
  const ListedView view = listing.view(index);
  const std::vector<ListedOutlet> outlets = listing.outletsTo(view.id);
  ViewName result;
  if (!outlets.empty()) result.owner = outlets.front().holderClass;
  if (result.owner.empty()) result.owner = listing.sceneClassOf(index);
  if (result.owner.empty()) result.owner = fileName;

  if (!outlets.empty() && !outlets.front().property.empty()) {
    result.name = std::string(outlets.front().property);
    return result;
  }
  result.name = lowerCamelCase(view.userLabel);
  if (!result.name.empty()) return result;
  for (const std::string_view text : {view.text, view.title, view.placeholder}) {
    result.name = lowerCamelCase(text);
    if (!result.name.empty()) {
      result.name += capitalized(view.element);
      return result;
    }
  }
  result.name = std::string(view.element) + lettersAndDigits(view.id);
  return result;
}

}  // namespace korvaster
