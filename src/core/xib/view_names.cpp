#include "core/xib/view_names.h"

#include <vector>

#include "core/xib/name_characters.h"
#include "support/utf8.h"

namespace korvaster {

namespace {

bool isAsciiUpper(char c) { return c >= 'A' && c <= 'Z'; }
bool isAsciiLower(char c) { return c >= 'a' && c <= 'z'; }
char upper(char c) { return isAsciiLower(c) ? static_cast<char>(c - 'a' + 'A') : c; }
char lower(char c) { return isAsciiUpper(c) ? static_cast<char>(c - 'A' + 'a') : c; }

// Apostrophes join what they stand in ("Don't" is one word); anything that is no letter, digit
// or mark of a word, and any byte that is not UTF-8, parts words.
std::vector<std::string> wordsOf(std::string_view text, std::size_t maximumWords) {
  std::vector<std::string> words;
  std::string word;
  for (std::size_t at = 0; at < text.size();) {
    const auto decoded = support::decodeUtf8(text.substr(at));
    const char32_t c = decoded ? decoded->codePoint : kReplacementCharacter;
    at += decoded ? decoded->length : 1;
    if (c == '\'' || c == 0x2019) continue;
    if (decoded && c != '_' && isNameCharacter(c)) {
      appendUtf8(word, c);
    } else if (!word.empty()) {
      words.push_back(std::move(word));
      word.clear();
      if (words.size() == maximumWords) return words;
    }
  }
  if (!word.empty()) words.push_back(std::move(word));  // still fewer than the most, or it had returned
  return words;
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

namespace {

bool isCellElement(std::string_view element) {
  return element == "tableViewCell" || element == "collectionViewCell";
}

// `name` followed by the word that says what kind of view it names, unless it ends with that
// word already ("tokenCell" and "cell" stay, "tokencell" and "token" become "tokenCell").
std::string withKind(std::string name, std::string_view element) {
  const std::string kind = isCellElement(element) ? "Cell" : capitalized(element);
  if (name.empty() || name.size() < kind.size()) return name.empty() ? name : name + kind;
  const std::size_t start = name.size() - kind.size();
  for (std::size_t at = 0; at < kind.size(); ++at) {
    if (lower(name[start + at]) != lower(kind[at])) return name + kind;
  }
  // A word run together with the kind ("tokencell") has it written as a word of its own.
  if (start > 0) name.replace(start, kind.size(), kind);
  return name;
}

// An image named by its file ("back.png") is named by what it shows; "chevron.right" is a
// symbol's name and keeps its dot.
std::string_view withoutImageExtension(std::string_view image) {
  for (const std::string_view extension : {".png", ".jpg", ".jpeg", ".pdf", ".gif"}) {
    if (image.size() > extension.size() && image.substr(image.size() - extension.size()) == extension)
      return image.substr(0, image.size() - extension.size());
  }
  return image;
}

std::string firstText(const ListedView& view) {
  for (const std::string_view text : {view.text, view.title, view.placeholder}) {
    std::string words = lowerCamelCase(text);
    if (!words.empty()) return words;
  }
  return {};
}

// What says what the view is when nothing names it: what it shows or holds, then its place.
std::string describedName(const ViewListing& listing, const ListedView& view) {
  for (const std::string_view said : {view.reuseIdentifier, withoutImageExtension(view.image), view.action}) {
    std::string name = withKind(lowerCamelCase(said), view.element);
    if (!name.empty()) return name;
  }
  if (view.firstLabelled && (isCellElement(view.element) || view.element == "stackView")) {
    std::string name = withKind(firstText(listing.view(*view.firstLabelled)), view.element);
    if (!name.empty()) return name;
  }
  if (!view.key.empty()) {
    std::string holder = view.container.empty() && view.parent ? nameView(listing, *view.parent, "").name
                                                               : lowerCamelCase(view.container);
    return holder.empty() ? lowerCamelCase(view.key) : holder + capitalized(lowerCamelCase(view.key));
  }
  std::string name = lowerCamelCase(view.customClass);
  if (!name.empty()) return name;
  return lowerCamelCase(std::string(view.element) + " " + std::string(view.id), std::string::npos);
}

}  // namespace

ViewName nameView(const ViewListing& listing, std::size_t index, std::string_view fileName) {
  const ListedView view = listing.view(index);
  const std::vector<ListedOutlet> outlets = listing.outletsTo(view.id);
  ViewName result;
  if (!outlets.empty()) result.owner = outlets.front().holderClass;
  if (result.owner.empty() && view.classOwner) result.owner = listing.view(*view.classOwner).customClass;
  if (result.owner.empty()) result.owner = listing.sceneClassOf(index);
  if (result.owner.empty()) result.owner = fileName;

  if (!outlets.empty() && !outlets.front().property.empty()) {
    result.name = std::string(outlets.front().property);
    return result;
  }
  result.name = lowerCamelCase(view.userLabel);
  if (!result.name.empty()) return result;
  result.name = firstText(view);
  if (!result.name.empty()) {
    result.name += capitalized(view.element);
    return result;
  }
  result.name = describedName(listing, view);
  return result;
}

}  // namespace korvaster
