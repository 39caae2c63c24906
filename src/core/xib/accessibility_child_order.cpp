#include "core/xib/accessibility_child_order.h"

namespace korvaster {

namespace {

struct ChildKind {
  const char* view;  // null: a view of any name
  const char* name;
  const char* key;  // "": the child has no key; null: any key
  AccessibilityChildPlace place;
};

using Place = AccessibilityChildPlace;

// Learned from public projects' Xcode-written files: for each of their 743 views that have an
// accessibility child, every other child of the view was counted as coming before or after it,
// kind by kind (element name and key). Every kind below was seen on one side only, except the
// tint colour: a view's own tint colour comes before it, a button's among the button's own
// properties after it (a button writes its tint colour after its font, a plain view or a text
// field before its constraints). Kinds never seen beside an accessibility child are not
// guessed; the placement treats them as neither.
constexpr ChildKind kChildKinds[] = {
    {"button", "color", "tintColor", Place::after},
    {nullptr, "rect", "frame", Place::before},
    {nullptr, "autoresizingMask", "autoresizingMask", Place::before},
    {nullptr, "tableViewCellContentView", "contentView", Place::before},
    // No Xcode-written collection-view cell with an identifier was found: inferred. Table
    // cells put their content view first in every example, and a content view holds the
    // cell's subviews, which come before the identifier everywhere else.
    {nullptr, "collectionViewCellContentView", "contentView", Place::before},
    {nullptr, "view", "contentView", Place::before},
    // Written empty on every view by older Xcode versions; the identifier followed it in
    // every repository checked (frame, animations, background colour, identifier).
    {nullptr, "animations", "", Place::before},
    {nullptr, "subviews", "", Place::before},
    {nullptr, "color", "backgroundColor", Place::before},
    {nullptr, "color", "tintColor", Place::before},
    {nullptr, "attributedString", "attributedText", Place::after},
    {nullptr, "attributedString", "userComments", Place::after},
    {nullptr, "color", "onTintColor", Place::after},
    {nullptr, "color", "textColor", Place::after},
    {nullptr, "connections", "", Place::after},
    {nullptr, "constraints", "", Place::after},
    {nullptr, "fontDescription", "fontDescription", Place::after},
    {nullptr, "freeformSimulatedSizeMetrics", "simulatedDestinationMetrics", Place::after},
    {nullptr, "gestureRecognizers", "", Place::after},
    {nullptr, "inset", "contentEdgeInsets", Place::after},
    {nullptr, "inset", "imageEdgeInsets", Place::after},
    {nullptr, "inset", "separatorInset", Place::after},
    {nullptr, "nil", "highlightedColor", Place::after},
    {nullptr, "nil", "simulatedStatusBarMetrics", Place::after},
    {nullptr, "nil", "textColor", Place::after},
    {nullptr, "point", "canvasLocation", Place::after},
    {nullptr, "state", "disabled", Place::after},
    {nullptr, "state", "highlighted", Place::after},
    {nullptr, "state", "normal", Place::after},
    {nullptr, "state", "selected", Place::after},
    {nullptr, "string", "text", Place::after},
    {nullptr, "textInputTraits", "textInputTraits", Place::after},
    {nullptr, "userDefinedRuntimeAttributes", "", Place::after},
    // After the identifier in every example found beside one.
    {nullptr, "preferredSymbolConfiguration", "preferredSymbolConfiguration", Place::after},
    {nullptr, "variation", nullptr, Place::after},
};

}  // namespace

AccessibilityChildPlace placeBesideAccessibility(std::string_view viewName, std::string_view childName,
                                                 std::string_view childKey) {
  // The first row that matches decides: rows for one view name come before the general ones.
  for (const ChildKind& kind : kChildKinds) {
    if (kind.view != nullptr && viewName != kind.view) continue;
    if (childName == kind.name && (kind.key == nullptr || childKey == kind.key)) return kind.place;
  }
  return Place::unknown;
}

}  // namespace korvaster
