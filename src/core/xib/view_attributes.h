// What a view is in an Interface Builder file and where its identifier lives, stated once for
// the rewriting pass, check's scan and the listing. A ViewAttributes holds views of
// the attribute texts it is given, which must outlive it.
#pragma once

#include <optional>
#include <string_view>

#include "core/xib/interface_builder_names.h"

namespace korvaster {

// One element's attributes as the identifier rules read them.
class ViewAttributes {
 public:
  // Takes in one attribute of the element; called with each in turn.
  void take(std::string_view name, std::string_view value) {
    if (name == ibNames::id) {
      id_ = value;
    } else if (name == ibNames::contentMode) {
      hasContentMode_ = true;
    } else if (name == ibNames::identifier) {
      identifier_ = value;
    }
  }

  // Whether the element is a view: it has both an "id" and a "contentMode", whatever its name.
  bool isView() const { return id_.has_value() && hasContentMode_; }
  // The element's "id", which is the identifier a view is given.
  std::optional<std::string_view> id() const { return id_; }
  // The element's "identifier": on the child that holds a view's identifier, that identifier.
  std::optional<std::string_view> identifier() const { return identifier_; }

 private:
  std::optional<std::string_view> id_;
  std::optional<std::string_view> identifier_;
  bool hasContentMode_ = false;
};

// Whether a child named `childName` holds its parent's identifier: the child is the parent
// view's first child named "accessibility". `parentHadHolder` says whether an earlier child of
// the parent was that child.
inline bool holdsViewIdentifier(bool parentIsView, bool parentHadHolder, std::string_view childName) {
  return parentIsView && !parentHadHolder && childName == ibNames::accessibility;
}

// The child a view without a holder is given as its last child, named ibNames::accessibility:
// calls `add(name, value)` with each of its attributes in order, for
// <accessibility key="accessibilityConfiguration" identifier="ID" />.
template <typename Add>
void forEachNewHolderAttribute(std::string_view viewId, Add&& add) {
  add(std::string_view(ibNames::key), std::string_view(ibNames::accessibilityConfiguration));
  add(std::string_view(ibNames::identifier), viewId);
}

}  // namespace korvaster
