// Where Xcode writes a view's accessibility child among the view's other children: a table of
// child kinds that come before it and kinds that come after it.
#pragma once

#include <string_view>

namespace korvaster {

enum class AccessibilityChildPlace { before, after, unknown };

// Where a child named `childName` with the attribute key="`childKey`" (empty without one) of
// a view element named `viewName` stands with respect to the view's accessibility child, as
// Xcode writes them; `unknown` for a kind the table does not hold.
AccessibilityChildPlace placeBesideAccessibility(std::string_view viewName, std::string_view childName,
                                                 std::string_view childKey);

}  // namespace korvaster
