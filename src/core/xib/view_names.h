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
  // followed by the element, in lowerCamelCase ("loginButton"); else the element followed by
  // the id's letters and digits ("buttonXk3pQ9aZ").
  std::string name;
  // The customClass of the element holding the first outlet's <connections>; else that of the
  // scene's view controller or the xib's File's Owner; else `fileName`. A view into the
  // listing or into `fileName`.
  std::string_view owner;
};

// The name and owner of view `index` of `listing`, from a file named `fileName` (without its
// extension).
ViewName nameView(const ViewListing& listing, std::size_t index, std::string_view fileName);

// `text` as one lowerCamelCase word: ASCII letters and digits and every byte beyond ASCII make
// up words, apostrophes are dropped, anything else parts words; only the first `maximumWords`
// words are kept. A leading run of capitals is lowered as a whole ("URL field" -> "urlField",
// "URLField" -> "urlField"). Empty when `text` has no word.
std::string lowerCamelCase(std::string_view text, std::size_t maximumWords = 4);

}  // namespace korvaster
