// How `ids` names a view for people and code: by the outlet that points at it, its label in
// Interface Builder, its text, or its element and id; and which class owns it.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "core/xib/view_listing.h"

namespace korvaster {

struct ViewName {
  // The first outlet's property; else the userLabel, or the text, title or placeholder
  // followed by the element, in lowerCamelCase ("loginButton"); else what says what the view
  // is, followed by the word for its kind unless it ends with it: a cell's reuseIdentifier
  // ("tokenCell"), its image ("backButton"), its first action's selector, for a cell or stack
  // view the text of the first view in it that has one ("pushNotificationsCell"); else its role
  // joined to the name of what it is in ("tokenCellContentView", "loginViewControllerView");
  // else its customClass; else the words of the element and the id ("buttonXk3PQ9aZ").
  std::string name;
  // The customClass of the element holding the first outlet's <connections>; else that of the
  // nearest cell or custom view it lies in (not a controller's root view); else that of the
  // scene's view controller or the xib's File's Owner; else `fileName`. A view into the
  // listing or into `fileName`.
  std::string_view owner;
};

// The name and owner of view `index` of `listing`, from a file named `fileName` (without its
// extension).
ViewName nameView(const ViewListing& listing, std::size_t index, std::string_view fileName);

// `text` as one lowerCamelCase word: letters, digits and marks of any script make up words
// (isNameCharacter), apostrophes are dropped, anything else (punctuation, symbols, emoji, "_",
// bytes that are not UTF-8) parts words; only the first `maximumWords` words are kept. A
// leading run of capitals is lowered as a whole ("URL field" -> "urlField", "URLField" ->
// "urlField"). Empty when `text` has no word.
std::string lowerCamelCase(std::string_view text, std::size_t maximumWords = 4);

}  // namespace korvaster
